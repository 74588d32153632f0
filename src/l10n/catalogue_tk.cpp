// Turkmen texts, in the key order of the English table.
#include "l10n/catalogue_tables.h"

const CatalogueRows kCatalogueTk = {
    {"IDS_WIZARD_BACK", "< Yza"},
    {"IDS_WIZARD_NEXT", "Indiki >"},
    {"IDS_WIZARD_FINISH", "Tamamla"},
    {"IDS_WIZARD_CANCEL", "Ýatyr"},
    {"IDS_ACCEPT_CANCEL", "Gurnamagy hakykatdanam ýatyrmak isleýärsiňizmi?"},
    {"IDS_TITLE_INSTALLER", "Konfigurasiýa gurnalýar"},
    {"IDS_PREPARECOPY", "Göçürmäge taýýarlanylýar..."},
    {"IDS_INSTALL_ERROR", "Gurnama ýalňyşlygy"},
    {"IDS_ERROR_NOSOURCE", "kelda.efd paýlaýyş toplumynyň faýly tapylmady."},
    {"IDS_ERROR_NOTARGET", "Şablonlary häzirki kataloga gurnamak goldanylmaýar."},
    {"IDS_ERROR_NOSPACE", "Temp katalogynda ýeterlik boş ýer ýok."},
    {"IDS_CHOOSEDIR_FOLDER", "&Papka:"},
    {"IDS_CHOOSEDIR_TITLE", "Katalogy saýlamak"},
    {"IDR_MAINFRAME", "Konfigurasiýa gurnalýar"},
    {"IDS_SETUP_EMPTYTARGET", "Şablonlar katalogyna dogry ýoly görkeziň."},
    {"IDS_INSTALL_FINISH", "Göçürmek tamamlandy..."},
    {"IDS_ERROR_DAMAGEDSOURCE",
     "kelda.efd paýlaýyş toplumynyň faýly zeperlenen ýa-da bu gurnama programmasy üçin "
     "niýetlenmedik."},
    {"IDS_DEFPRODUCT", "<Önüm>"},
    {"IDS_DEFPROVIDER", "<Üpjün ediji>"},
    {"IDS_SUCCESS_FINISH", "Konfigurasiýa üstünlikli gurnaldy."},
    {"IDS_SUCCESS_OPENDESCR", "Paýlaýyş bukjasynyň beýanyny aç"},
    {"IDS_PROGRESS_START", "Faýllar göçürilýär..."},
    {"IDS_ERROR_FINISH",
     "Gurnama wagtynda ýalňyşlyk ýüze çykdy. Gurnama ýatyryldy. Şablonlar katalogy üýtgedilmedi."},
    {"IDS_CANCEL_FINISH", "Gurnama ýatyryldy. Şablonlar katalogy üýtgedilmedi."},
    {"IDS_BROWSE_SELDIR", "Saýlanan katalog:"},
    {"IDS_BROWSE_OK", "Saýla"},
    {"IDS_BROWSE_CANCEL", "Ýatyr"},
    {"IDS_WELCOME_TITLE", "Önümi gurnama programmasyna hoş geldiňiz"},
    {"IDS_SETUP_EXISTEDTARGET",
     "Gurnama katalogynda gurnama wagtynda üýtgedilip bilinjek faýllar bar. Dowam etmek "
     "isleýärsiňizmi?"},
    {"IDS_DESTINATION_PROMPT",
     "Şablonlar katalogyna ýoly görkeziň. Gurnama programmasy şablonlary we konfigurasiýa "
     "faýllaryny görkezilen kataloga gurnar."},
    {"IDS_TEMPLATE_CATALOG", "Şablonlar katalogy:"},
};
