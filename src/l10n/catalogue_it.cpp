// Italian texts, in the key order of the English table.
#include "l10n/catalogue_tables.h"

const CatalogueRows kCatalogueIt = {
    {"IDS_WIZARD_BACK", "< Indietro"},
    {"IDS_WIZARD_NEXT", "Avanti >"},
    {"IDS_WIZARD_FINISH", "Fine"},
    {"IDS_WIZARD_CANCEL", "Annulla"},
    {"IDS_ACCEPT_CANCEL", "Annullare davvero l'installazione?"},
    {"IDS_TITLE_INSTALLER", "Installazione della configurazione"},
    {"IDS_PREPARECOPY", "Preparazione della copia..."},
    {"IDS_INSTALL_ERROR", "Errore di installazione"},
    {"IDS_ERROR_NOSOURCE", "File del kit di distribuzione kelda.efd non trovato."},
    {"IDS_ERROR_NOTARGET",
     "L'installazione dei modelli nella directory corrente non è supportata."},
    {"IDS_ERROR_NOSPACE", "Spazio insufficiente nella directory Temp."},
    {"IDS_CHOOSEDIR_FOLDER", "&Cartella:"},
    {"IDS_CHOOSEDIR_TITLE", "Scegli directory"},
    {"IDR_MAINFRAME", "Installazione della configurazione"},
    {"IDS_SETUP_EMPTYTARGET", "Specificare un percorso valido per la directory dei modelli."},
    {"IDS_INSTALL_FINISH", "Copia completata..."},
    {"IDS_ERROR_DAMAGEDSOURCE",
     "Il file del kit di distribuzione kelda.efd è danneggiato o non è destinato a questo "
     "programma di installazione."},
    {"IDS_DEFPRODUCT", "<Prodotto>"},
    {"IDS_DEFPROVIDER", "<Fornitore>"},
    {"IDS_SUCCESS_FINISH", "Configurazione installata correttamente."},
    {"IDS_SUCCESS_OPENDESCR", "Apri la descrizione del pacchetto di distribuzione"},
    {"IDS_PROGRESS_START", "Copia dei file in corso..."},
    {"IDS_ERROR_FINISH",
     "Si è verificato un errore durante l'installazione. Installazione annullata. La directory dei "
     "modelli non è stata modificata."},
    {"IDS_CANCEL_FINISH",
     "Installazione annullata. La directory dei modelli non è stata modificata."},
    {"IDS_BROWSE_SELDIR", "Directory selezionata:"},
    {"IDS_BROWSE_OK", "Seleziona"},
    {"IDS_BROWSE_CANCEL", "Annulla"},
    {"IDS_WELCOME_TITLE", "Benvenuti nel programma di installazione del prodotto"},
    {"IDS_SETUP_EXISTEDTARGET",
     "La directory di installazione contiene file che potrebbero essere modificati durante "
     "l'installazione. Continuare?"},
    {"IDS_DESTINATION_PROMPT",
     "Specificare il percorso della directory dei modelli. Il programma di installazione "
     "installerà i modelli e i file di configurazione nella directory specificata."},
    {"IDS_TEMPLATE_CATALOG", "Directory dei modelli:"},
    {"IDS_MSGBOX_YES", "&Sì"},
    {"IDS_MSGBOX_NO", "&No"},
    {"IDS_MSGBOX_OK", "&OK"},
    {"IDS_WELCOME_LINE", "%1 %2 (%3)."},
    {"IDS_WARN_LAUNCHERFILE",
     "I modelli sono stati installati, ma non è stato possibile scrivere il file di impostazioni "
     "del launcher %1: il launcher non troverà questa directory dei modelli."},
    {"IDS_SETUP_COUNTS",
     "Nuovi file: %1. File da sostituire: %2. File mantenuti (più recenti o uguali): %3."},
    {"IDS_ERROR_SPACEDETAIL", "Directory temporanea %1: necessari %2 MB, disponibili %3 MB."},
    {"IDS_ERROR_NOTSIGNED",
     "Il file del kit di distribuzione kelda.efd non è firmato da %1 e non può essere installato."},
    {"IDS_ERROR_NOTRESTORED",
     "Installazione annullata. Non è stato possibile ripristinare completamente la directory dei "
     "modelli: le versioni precedenti di alcuni file sono conservate nella cartella %1."},
    {"IDS_RECOVERY_DONE", "Un'installazione interrotta in %1 è stata annullata."},
    {"IDS_RECOVERY_CHANGED",
     "Un'installazione interrotta in %1 è stata annullata, tranne i file modificati nel frattempo, "
     "che sono stati lasciati come sono."},
    {"IDS_RECOVERY_NOTRESTORED",
     "Non è stato possibile annullare completamente un'installazione interrotta in %1: le versioni "
     "precedenti di alcuni file sono conservate nella cartella %2."},
    {"IDS_RECOVERY_UNREADABLE",
     "Il registro di un'installazione interrotta, %1, non è leggibile ed è stato lasciato "
     "intatto."},
    {"IDS_RECOVERY_REFUSED",
     "Il registro di un'installazione interrotta, %1, o la sua cartella delle versioni precedenti "
     "non è solo tuo (appartiene a un altro utente, è aperto ad altri o è un collegamento); non è "
     "stato fatto nulla."},
    {"IDS_RECOVERY_LEFTALONE", "Lasciati come sono:"},
    {"IDS_NOTE_STAGINGELSEWHERE",
     "Durante l'installazione le versioni precedenti dei file sostituiti sono state conservate "
     "nella cartella temporanea %1, perché sul disco della directory dei modelli non è stato "
     "possibile creare una cartella privata."},
    {"IDS_INSTALL_BUSY",
     "È in corso un'altra installazione in questa directory dei modelli. Riprovare al termine."},
    {"IDS_ERROR_NOTWRITABLE",
     "Impossibile creare la directory dei modelli o scrivervi. Specificare un'altra directory."},
    {"IDS_BROWSE_BUTTON", "Sfoglia"},
    {"IDS_OPEN_FAILED", "Impossibile aprire la descrizione: %1"},
    {"IDS_PLAN_NEW", "nuovo"},
    {"IDS_PLAN_UPDATE", "aggiorna"},
    {"IDS_PLAN_KEEP", "mantieni"},
    {"IDS_PLAN_BLOCKED", "bloccato"},
    {"IDS_PLAN_SUMMARY",
     "Nuovi: %1, da aggiornare: %2, mantenuti: %3, bloccati: %4; verrebbero scritti %5 byte."},
    {"IDS_ERROR_LINEBREAK",
     "Il nome della directory dei modelli contiene un a capo, un ritorno carrello o un "
     "carattere NUL, che il file delle impostazioni del programma di avvio non può "
     "contenere. Specificare un'altra directory."},
    {"IDS_ERROR_DISPLAYLOST", "La connessione al display è stata persa."},
    {"IDS_ERROR_TEMPUNUSABLE", "Impossibile usare la directory temporanea."},
};
