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
    {"IDS_MSGBOX_YES", "&Bəli"},
    {"IDS_MSGBOX_NO", "&Xeyr"},
    {"IDS_MSGBOX_OK", "&OK"},
    {"IDS_WELCOME_LINE", "%1 %2 (%3)."},
    {"IDS_WARN_LAUNCHERFILE",
     "Şablonlar quraşdırıldı, lakin başladıcı proqramın %1 ayarlar faylı yazıla bilmədi: başladıcı "
     "proqram bu şablon kataloqunu tapmayacaq."},
    {"IDS_SETUP_COUNTS",
     "Yeni fayllar: %1. Əvəz ediləcək fayllar: %2. Saxlanılan fayllar (daha yeni və ya eyni): %3."},
    {"IDS_ERROR_SPACEDETAIL", "Müvəqqəti kataloq %1: %2 MB lazımdır, %3 MB mövcuddur."},
    {"IDS_ERROR_NOTSIGNED",
     "kelda.efd paylama dəsti faylı %1 tərəfindən imzalanmayıb və quraşdırıla bilməz."},
    {"IDS_ERROR_NOTRESTORED",
     "Quraşdırma ləğv edildi. Şablon kataloqu tam bərpa edilə bilmədi: bəzi faylların əvvəlki "
     "versiyaları %1 qovluğunda saxlanılır."},
    {"IDS_RECOVERY_DONE", "%1 kataloquna yarımçıq qalmış quraşdırma geri qaytarıldı."},
    {"IDS_RECOVERY_CHANGED",
     "%1 kataloquna yarımçıq qalmış quraşdırma geri qaytarıldı; lakin o vaxtdan bəri dəyişdirilmiş "
     "fayllar olduğu kimi saxlanıldı."},
    {"IDS_RECOVERY_NOTRESTORED",
     "%1 kataloquna yarımçıq qalmış quraşdırma tam geri qaytarıla bilmədi: bəzi faylların əvvəlki "
     "versiyaları %2 qovluğunda saxlanılır."},
    {"IDS_RECOVERY_UNREADABLE",
     "Yarımçıq qalmış quraşdırmanın qeydi (%1) oxuna bilmədi və toxunulmadan saxlanıldı."},
    {"IDS_RECOVERY_REFUSED",
     "Yarımçıq qalmış quraşdırmanın qeydi (%1) və ya onun əvvəlki versiyalar qovluğu yalnız sizə "
     "məxsus deyil (başqa istifadəçiyə aiddir, başqalarına açıqdır və ya keçiddir); onunla heç nə "
     "edilmədi."},
    {"IDS_RECOVERY_LEFTALONE", "Olduğu kimi saxlanılanlar:"},
    {"IDS_NOTE_STAGINGELSEWHERE",
     "Quraşdırma zamanı əvəz edilmiş faylların əvvəlki versiyaları müvəqqəti %1 qovluğunda "
     "saxlanıldı, çünki şablon kataloqunun diskində şəxsi qovluq yaratmaq mümkün olmadı."},
    {"IDS_INSTALL_BUSY",
     "Bu şablon kataloquna başqa bir quraşdırma aparılır. O başa çatdıqdan sonra yenidən cəhd "
     "edin."},
    {"IDS_ERROR_NOTWRITABLE",
     "Şablon kataloqunu yaratmaq və ya ona yazmaq mümkün deyil. Başqa kataloq göstərin."},
    {"IDS_BROWSE_BUTTON", "Gözdən keçir"},
    {"IDS_OPEN_FAILED", "Təsvir açıla bilmədi: %1"},
    {"IDS_PLAN_NEW", "yeni"},
    {"IDS_PLAN_UPDATE", "yenilə"},
    {"IDS_PLAN_KEEP", "saxla"},
    {"IDS_PLAN_BLOCKED", "bloklanıb"},
    {"IDS_PLAN_SUMMARY",
     "Yeni: %1, yenilənəcək: %2, saxlanılan: %3, bloklanmış: %4; %5 bayt yazılacaq."},
    {"IDS_ERROR_LINEBREAK",
     "Şablon kataloqunun adında başladıcının parametrlər faylının saxlaya "
     "bilmədiyi sətir keçidi, karetka qaytarılması və ya NUL simvolu var. Başqa "
     "kataloq göstərin."},
    {"IDS_ERROR_DISPLAYLOST", "Ekranla əlaqə kəsildi."},
    {"IDS_ERROR_TEMPUNUSABLE", "Müvəqqəti kataloqdan istifadə etmək mümkün deyil."},
};
