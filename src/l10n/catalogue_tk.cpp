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
    {"IDS_MSGBOX_YES", "&Hawa"},
    {"IDS_MSGBOX_NO", "&Ýok"},
    {"IDS_MSGBOX_OK", "&Bolýar"},
    {"IDS_WELCOME_LINE", "%1 %2 (%3)."},
    {"IDS_WARN_LAUNCHERFILE",
     "Şablonlar gurnaldy, emma işe giriziji programmanyň %1 sazlamalar faýlyny ýazyp bolmady: işe "
     "giriziji programma bu şablonlar katalogyny tapmaz."},
    {"IDS_SETUP_COUNTS",
     "Täze faýllar: %1. Çalşyljak faýllar: %2. Saklanýan faýllar (täzeräk ýa-da şol bir): %3."},
    {"IDS_ERROR_SPACEDETAIL", "Wagtlaýyn katalog %1: %2 MB gerek, %3 MB elýeterli."},
    {"IDS_ERROR_NOTSIGNED",
     "kelda.efd paýlaýyş toplumynyň faýlyna %1 tarapyndan gol çekilmedik, şonuň üçin ony gurnap "
     "bolmaýar."},
    {"IDS_ERROR_NOTRESTORED",
     "Gurnama ýatyryldy. Şablonlar katalogyny doly dikeldip bolmady: käbir faýllaryň öňki "
     "wersiýalary %1 bukjasynda saklanýar."},
    {"IDS_RECOVERY_DONE", "%1 katalogyna bölünen gurnama yzyna gaýtaryldy."},
    {"IDS_RECOVERY_CHANGED",
     "%1 katalogyna bölünen gurnama yzyna gaýtaryldy; şondan bäri üýtgedilen faýllar bolşy ýaly "
     "galdyryldy."},
    {"IDS_RECOVERY_NOTRESTORED",
     "%1 katalogyna bölünen gurnamany doly yzyna gaýtaryp bolmady: käbir faýllaryň öňki "
     "wersiýalary %2 bukjasynda saklanýar."},
    {"IDS_RECOVERY_UNREADABLE",
     "Bölünen gurnamanyň ýazgysyny (%1) okap bolmady we ol degilmän galdyryldy."},
    {"IDS_RECOVERY_REFUSED",
     "Bölünen gurnamanyň ýazgysy (%1) ýa-da onuň öňki wersiýalar bukjasy diňe siziňki däl (başga "
     "ulanyjynyňky, başgalara açyk ýa-da baglanyşyk); onuň bilen hiç zat edilmedi."},
    {"IDS_RECOVERY_LEFTALONE", "Bolşy ýaly galdyryldy:"},
    {"IDS_NOTE_STAGINGELSEWHERE",
     "Gurnama wagtynda çalşyrylan faýllaryň öňki wersiýalary %1 wagtlaýyn bukjasynda saklandy, "
     "sebäbi şablon katalogynyň diskinde şahsy bukja döredip bolmady."},
    {"IDS_INSTALL_BUSY",
     "Bu şablonlar katalogyna başga bir gurnama ýerine ýetirilýär. Ol tamamlanandan soň täzeden "
     "synanyşyň."},
    {"IDS_ERROR_NOTWRITABLE",
     "Şablonlar katalogyny döretmek ýa-da oňa ýazmak mümkin däl. Başga katalog görkeziň."},
    {"IDS_BROWSE_BUTTON", "Gözden geçir"},
    {"IDS_OPEN_FAILED", "Düşündiriş açylyp bilmedi: %1"},
    {"IDS_PLAN_NEW", "täze"},
    {"IDS_PLAN_UPDATE", "täzele"},
    {"IDS_PLAN_KEEP", "sakla"},
    {"IDS_PLAN_BLOCKED", "petiklenen"},
    {"IDS_PLAN_SUMMARY",
     "Täze: %1, täzelenjek: %2, saklanýan: %3, petiklenen: %4; %5 baýt ýazylar."},
    {"IDS_ERROR_LINEBREAK",
     "Şablon katalogynyň adynda işe giriziji sazlamalar faýlynyň saklap "
     "bilmeýän setir geçişi, karetka gaýtarylmasy ýa-da NUL nyşany bar. Başga "
     "katalog görkeziň."},
    {"IDS_ERROR_DISPLAYLOST", "Ekran bilen baglanyşyk kesildi."},
    {"IDS_ERROR_TEMPUNUSABLE", "Wagtylaýyn katalogy ulanyp bolmaýar."},
};
