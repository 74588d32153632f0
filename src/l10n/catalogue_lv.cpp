// Latvian texts, in the key order of the English table.
#include "l10n/catalogue_tables.h"

const CatalogueRows kCatalogueLv = {
    {"IDS_WIZARD_BACK", "< Atpakaļ"},
    {"IDS_WIZARD_NEXT", "Tālāk >"},
    {"IDS_WIZARD_FINISH", "Pabeigt"},
    {"IDS_WIZARD_CANCEL", "Atcelt"},
    {"IDS_ACCEPT_CANCEL", "Vai tiešām vēlaties atcelt instalēšanu?"},
    {"IDS_TITLE_INSTALLER", "Konfigurācijas instalēšana"},
    {"IDS_PREPARECOPY", "Gatavošanās kopēšanai..."},
    {"IDS_INSTALL_ERROR", "Instalēšanas kļūda"},
    {"IDS_ERROR_NOSOURCE", "Distribūcijas komplekta fails kelda.efd nav atrasts."},
    {"IDS_ERROR_NOTARGET", "Veidņu instalēšana pašreizējā direktorijā netiek atbalstīta."},
    {"IDS_ERROR_NOSPACE", "Direktorijā Temp nav pietiekami daudz brīvas vietas."},
    {"IDS_CHOOSEDIR_FOLDER", "&Mape:"},
    {"IDS_CHOOSEDIR_TITLE", "Direktorija izvēle"},
    {"IDR_MAINFRAME", "Konfigurācijas instalēšana"},
    {"IDS_SETUP_EMPTYTARGET", "Norādiet pareizu ceļu uz veidņu direktoriju."},
    {"IDS_INSTALL_FINISH", "Kopēšana pabeigta..."},
    {"IDS_ERROR_DAMAGEDSOURCE",
     "Distribūcijas komplekta fails kelda.efd ir bojāts vai nav paredzēts šai instalēšanas "
     "programmai."},
    {"IDS_DEFPRODUCT", "<Produkts>"},
    {"IDS_DEFPROVIDER", "<Piegādātājs>"},
    {"IDS_SUCCESS_FINISH", "Konfigurācija ir veiksmīgi instalēta."},
    {"IDS_SUCCESS_OPENDESCR", "Atvērt distribūcijas pakotnes aprakstu"},
    {"IDS_PROGRESS_START", "Notiek failu kopēšana..."},
    {"IDS_ERROR_FINISH",
     "Instalēšanas laikā radās kļūda. Instalēšana ir atcelta. Veidņu direktorijs nav mainīts."},
    {"IDS_CANCEL_FINISH", "Instalēšana ir atcelta. Veidņu direktorijs nav mainīts."},
    {"IDS_BROWSE_SELDIR", "Izvēlētais direktorijs:"},
    {"IDS_BROWSE_OK", "Izvēlēties"},
    {"IDS_BROWSE_CANCEL", "Atcelt"},
    {"IDS_WELCOME_TITLE", "Laipni lūdzam produkta instalēšanas programmā"},
    {"IDS_SETUP_EXISTEDTARGET",
     "Instalēšanas direktorijā ir faili, kas instalēšanas laikā var tikt mainīti. Vai vēlaties "
     "turpināt?"},
    {"IDS_DESTINATION_PROMPT",
     "Norādiet ceļu uz veidņu direktoriju. Instalēšanas programma instalēs veidnes un "
     "konfigurācijas failus norādītajā direktorijā."},
    {"IDS_TEMPLATE_CATALOG", "Veidņu direktorijs:"},
    {"IDS_MSGBOX_YES", "Jā"},
    {"IDS_MSGBOX_NO", "Nē"},
    {"IDS_MSGBOX_OK", "Labi"},
    {"IDS_WELCOME_LINE", "%1 %2 (%3)."},
    {"IDS_WARN_LAUNCHERFILE",
     "Veidnes ir instalētas, taču palaišanas programmas iestatījumu failu %1 neizdevās ierakstīt: "
     "palaišanas programma neatradīs šo veidņu direktoriju."},
    {"IDS_SETUP_COUNTS",
     "Jauni faili: %1. Aizstājamie faili: %2. Saglabātie faili (jaunāki vai tādi paši): %3."},
    {"IDS_ERROR_SPACEDETAIL", "Pagaidu direktorijs %1: nepieciešami %2 MB, pieejami %3 MB."},
    {"IDS_ERROR_NOTSIGNED",
     "Distribūcijas komplekta failam kelda.efd nav %1 paraksta, tāpēc to nevar instalēt."},
    {"IDS_ERROR_NOTRESTORED",
     "Instalēšana ir atcelta. Veidņu direktoriju neizdevās pilnībā atjaunot: dažu failu "
     "iepriekšējās versijas glabājas mapē %1."},
    {"IDS_RECOVERY_DONE", "Pārtrauktā instalēšana direktorijā %1 ir atsaukta."},
    {"IDS_RECOVERY_CHANGED",
     "Pārtrauktā instalēšana direktorijā %1 ir atsaukta, izņemot kopš tā laika mainītos failus; "
     "tie atstāti, kā ir."},
    {"IDS_RECOVERY_NOTRESTORED",
     "Pārtraukto instalēšanu direktorijā %1 neizdevās pilnībā atsaukt: dažu failu iepriekšējās "
     "versijas glabājas mapē %2."},
    {"IDS_RECOVERY_UNREADABLE",
     "Pārtrauktās instalēšanas žurnālu %1 neizdevās nolasīt, tāpēc tas atstāts neskarts."},
    {"IDS_INSTALL_BUSY",
     "Šajā veidņu direktorijā pašlaik notiek cita instalēšana. Mēģiniet vēlreiz, kad tā būs "
     "pabeigta."},
    {"IDS_ERROR_NOTWRITABLE",
     "Veidņu direktoriju nevar izveidot vai tajā nevar rakstīt. Norādiet citu direktoriju."},
    {"IDS_ERROR_LINEBREAK",
     "Veidņu direktorija nosaukumā ir rindas pārnesums, karietes atgriezes vai NUL "
     "rakstzīme, ko palaidēja iestatījumu fails nevar saglabāt. Norādiet citu "
     "direktoriju."},
    {"IDS_ERROR_DISPLAYLOST", "Savienojums ar displeju tika zaudēts."},
    {"IDS_ERROR_TEMPUNUSABLE", "Pagaidu direktoriju nevar izmantot."},
};
