// Azerbaijani texts, in the key order of the English table.
#include "l10n/catalogue_tables.h"

const CatalogueRows kCatalogueAz = {
    {"IDS_WIZARD_BACK", "< Geri"},
    {"IDS_WIZARD_NEXT", "İrəli >"},
    {"IDS_WIZARD_FINISH", "Hazır"},
    {"IDS_WIZARD_CANCEL", "İmtina"},
    {"IDS_ACCEPT_CANCEL", "Quraşdırmanı həqiqətən ləğv etmək istəyirsiniz?"},
    {"IDS_TITLE_INSTALLER", "Konfiqurasiya quraşdırılır"},
    {"IDS_PREPARECOPY", "Köçürməyə hazırlıq..."},
    {"IDS_INSTALL_ERROR", "Quraşdırma xətası"},
    {"IDS_ERROR_NOSOURCE", "kelda.efd paylama dəsti faylı tapılmadı."},
    {"IDS_ERROR_NOTARGET", "Şablonların cari kataloqa quraşdırılması dəstəklənmir."},
    {"IDS_ERROR_NOSPACE", "Temp kataloqunda kifayət qədər boş yer yoxdur."},
    {"IDS_CHOOSEDIR_FOLDER", "&Qovluq:"},
    {"IDS_CHOOSEDIR_TITLE", "Kataloq seçimi"},
    {"IDR_MAINFRAME", "Konfiqurasiya quraşdırılır"},
    {"IDS_SETUP_EMPTYTARGET", "Şablon kataloquna düzgün yolu göstərin."},
    {"IDS_INSTALL_FINISH", "Köçürmə başa çatdı..."},
    {"IDS_ERROR_DAMAGEDSOURCE",
     "kelda.efd paylama dəsti faylı zədələnib və ya bu quraşdırma proqramı üçün nəzərdə "
     "tutulmayıb."},
    {"IDS_DEFPRODUCT", "<Məhsul>"},
    {"IDS_DEFPROVIDER", "<Təchizatçı>"},
    {"IDS_SUCCESS_FINISH", "Konfiqurasiya uğurla quraşdırıldı."},
    {"IDS_SUCCESS_OPENDESCR", "Paylama paketinin təsvirini aç"},
    {"IDS_PROGRESS_START", "Fayllar köçürülür..."},
    {"IDS_ERROR_FINISH",
     "Quraşdırma zamanı xəta baş verdi. Quraşdırma ləğv edildi. Şablon kataloqu dəyişdirilmədi."},
    {"IDS_CANCEL_FINISH", "Quraşdırma ləğv edildi. Şablon kataloqu dəyişdirilmədi."},
    {"IDS_BROWSE_SELDIR", "Seçilmiş kataloq:"},
    {"IDS_BROWSE_OK", "Seç"},
    {"IDS_BROWSE_CANCEL", "İmtina"},
    {"IDS_WELCOME_TITLE", "Məhsulun quraşdırma proqramına xoş gəlmisiniz"},
    {"IDS_SETUP_EXISTEDTARGET",
     "Quraşdırma kataloqunda quraşdırma zamanı dəyişdirilə bilən fayllar var. Davam etmək "
     "istəyirsiniz?"},
    {"IDS_DESTINATION_PROMPT",
     "Şablon kataloquna yolu göstərin. Quraşdırma proqramı şablonları və konfiqurasiya fayllarını "
     "göstərilən kataloqa quraşdıracaq."},
    {"IDS_TEMPLATE_CATALOG", "Şablon kataloqu:"},
};
