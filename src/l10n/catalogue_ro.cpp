// Romanian texts, in the key order of the English table.
#include "l10n/catalogue_tables.h"

const CatalogueRows kCatalogueRo = {
    {"IDS_WIZARD_BACK", "< Înapoi"},
    {"IDS_WIZARD_NEXT", "Înainte >"},
    {"IDS_WIZARD_FINISH", "Finalizare"},
    {"IDS_WIZARD_CANCEL", "Anulare"},
    {"IDS_ACCEPT_CANCEL", "Sigur doriți să anulați instalarea?"},
    {"IDS_TITLE_INSTALLER", "Se instalează configurația"},
    {"IDS_PREPARECOPY", "Se pregătește copierea..."},
    {"IDS_INSTALL_ERROR", "Eroare de instalare"},
    {"IDS_ERROR_NOSOURCE", "Fișierul pachetului de distribuție kelda.efd nu a fost găsit."},
    {"IDS_ERROR_NOTARGET", "Instalarea șabloanelor în directorul curent nu este acceptată."},
    {"IDS_ERROR_NOSPACE", "Spațiu insuficient în directorul Temp."},
    {"IDS_CHOOSEDIR_FOLDER", "&Dosar:"},
    {"IDS_CHOOSEDIR_TITLE", "Alegeți directorul"},
    {"IDR_MAINFRAME", "Se instalează configurația"},
    {"IDS_SETUP_EMPTYTARGET", "Specificați o cale corectă către directorul de șabloane."},
    {"IDS_INSTALL_FINISH", "Copiere finalizată..."},
    {"IDS_ERROR_DAMAGEDSOURCE",
     "Fișierul pachetului de distribuție kelda.efd este deteriorat sau nu este destinat acestui "
     "program de instalare."},
    {"IDS_DEFPRODUCT", "<Produs>"},
    {"IDS_DEFPROVIDER", "<Furnizor>"},
    {"IDS_SUCCESS_FINISH", "Configurația a fost instalată cu succes."},
    {"IDS_SUCCESS_OPENDESCR", "Deschide descrierea pachetului de distribuție"},
    {"IDS_PROGRESS_START", "Se copiază fișierele..."},
    {"IDS_ERROR_FINISH",
     "A apărut o eroare în timpul instalării. Instalarea a fost anulată. Directorul de șabloane nu "
     "a fost modificat."},
    {"IDS_CANCEL_FINISH", "Instalarea a fost anulată. Directorul de șabloane nu a fost modificat."},
    {"IDS_BROWSE_SELDIR", "Director selectat:"},
    {"IDS_BROWSE_OK", "Selectare"},
    {"IDS_BROWSE_CANCEL", "Anulare"},
    {"IDS_WELCOME_TITLE", "Bun venit în programul de instalare a produsului"},
    {"IDS_SETUP_EXISTEDTARGET",
     "Directorul de instalare conține fișiere care pot fi modificate în timpul instalării. Doriți "
     "să continuați?"},
    {"IDS_DESTINATION_PROMPT",
     "Specificați calea către directorul de șabloane. Programul de instalare va instala șabloanele "
     "și fișierele de configurare în directorul specificat."},
    {"IDS_TEMPLATE_CATALOG", "Director de șabloane:"},
    {"IDS_MSGBOX_YES", "&Da"},
    {"IDS_MSGBOX_NO", "&Nu"},
    {"IDS_MSGBOX_OK", "&OK"},
    {"IDS_WELCOME_LINE", "%1 %2 (%3)."},
    {"IDS_WARN_LAUNCHERFILE",
     "Șabloanele au fost instalate, dar fișierul de setări al lansatorului %1 nu a putut fi scris: "
     "lansatorul nu va găsi acest director de șabloane."},
    {"IDS_SETUP_COUNTS",
     "Fișiere noi: %1. Fișiere de înlocuit: %2. Fișiere păstrate (mai noi sau identice): %3."},
    {"IDS_ERROR_SPACEDETAIL", "Director temporar %1: sunt necesari %2 MB, sunt disponibili %3 MB."},
    {"IDS_ERROR_NOTSIGNED",
     "Fișierul pachetului de distribuție kelda.efd nu este semnat de %1 și nu poate fi instalat."},
    {"IDS_ERROR_NOTRESTORED",
     "Instalarea a fost anulată. Directorul de șabloane nu a putut fi restaurat complet: "
     "versiunile anterioare ale unor fișiere sunt păstrate în folderul %1."},
    {"IDS_RECOVERY_DONE", "O instalare întreruptă în %1 a fost anulată."},
    {"IDS_RECOVERY_CHANGED",
     "O instalare întreruptă în %1 a fost anulată, cu excepția fișierelor modificate între timp; "
     "acestea au fost lăsate așa cum sunt."},
    {"IDS_RECOVERY_NOTRESTORED",
     "O instalare întreruptă în %1 nu a putut fi anulată complet: versiunile anterioare ale unor "
     "fișiere sunt păstrate în folderul %2."},
    {"IDS_RECOVERY_UNREADABLE",
     "Jurnalul unei instalări întrerupte, %1, nu a putut fi citit și a fost lăsat neatins."},
    {"IDS_INSTALL_BUSY",
     "O altă instalare în acest director de șabloane este în curs. Încercați din nou după ce se "
     "încheie."},
    {"IDS_ERROR_NOTWRITABLE",
     "Directorul de șabloane nu poate fi creat sau nu se poate scrie în el. Specificați alt "
     "director."},
    {"IDS_BROWSE_BUTTON", "Răsfoiește"},
    {"IDS_OPEN_FAILED", "Descrierea nu a putut fi deschisă: %1"},
    {"IDS_PLAN_NEW", "nou"},
    {"IDS_PLAN_UPDATE", "actualizare"},
    {"IDS_PLAN_KEEP", "păstrat"},
    {"IDS_PLAN_BLOCKED", "blocat"},
    {"IDS_PLAN_SUMMARY",
     "Noi: %1, de actualizat: %2, păstrate: %3, blocate: %4; s-ar scrie %5 octeți."},
    {"IDS_ERROR_LINEBREAK",
     "Numele directorului de șabloane conține un salt de linie, un retur de car sau "
     "un caracter NUL, pe care fișierul de setări al lansatorului nu le poate "
     "păstra. Specificați alt director."},
    {"IDS_ERROR_DISPLAYLOST", "Conexiunea cu afișajul a fost pierdută."},
    {"IDS_ERROR_TEMPUNUSABLE", "Directorul temporar nu poate fi folosit."},
};
