// German texts, in the key order of the English table.
#include "l10n/catalogue_tables.h"

const CatalogueRows kCatalogueDe = {
    {"IDS_WIZARD_BACK", "< Zurück"},
    {"IDS_WIZARD_NEXT", "Weiter >"},
    {"IDS_WIZARD_FINISH", "Fertig"},
    {"IDS_WIZARD_CANCEL", "Abbrechen"},
    {"IDS_ACCEPT_CANCEL", "Möchten Sie die Installation wirklich abbrechen?"},
    {"IDS_TITLE_INSTALLER", "Konfiguration wird installiert"},
    {"IDS_PREPARECOPY", "Kopiervorgang wird vorbereitet..."},
    {"IDS_INSTALL_ERROR", "Installationsfehler"},
    {"IDS_ERROR_NOSOURCE", "Die Distributionsdatei kelda.efd wurde nicht gefunden."},
    {"IDS_ERROR_NOTARGET",
     "Die Installation von Vorlagen in das aktuelle Verzeichnis wird nicht unterstützt."},
    {"IDS_ERROR_NOSPACE", "Im Verzeichnis Temp ist nicht genügend Speicherplatz verfügbar."},
    {"IDS_CHOOSEDIR_FOLDER", "&Ordner:"},
    {"IDS_CHOOSEDIR_TITLE", "Verzeichnis auswählen"},
    {"IDR_MAINFRAME", "Konfiguration wird installiert"},
    {"IDS_SETUP_EMPTYTARGET", "Geben Sie einen gültigen Pfad zum Vorlagenverzeichnis an."},
    {"IDS_INSTALL_FINISH", "Kopieren abgeschlossen..."},
    {"IDS_ERROR_DAMAGEDSOURCE",
     "Die Distributionsdatei kelda.efd ist beschädigt oder nicht für dieses Installationsprogramm "
     "bestimmt."},
    {"IDS_DEFPRODUCT", "<Produkt>"},
    {"IDS_DEFPROVIDER", "<Lieferant>"},
    {"IDS_SUCCESS_FINISH", "Die Konfiguration wurde erfolgreich installiert."},
    {"IDS_SUCCESS_OPENDESCR", "Beschreibung des Distributionspakets öffnen"},
    {"IDS_PROGRESS_START", "Dateien werden kopiert..."},
    {"IDS_ERROR_FINISH",
     "Während der Installation ist ein Fehler aufgetreten. Die Installation wurde abgebrochen. Das "
     "Vorlagenverzeichnis wurde nicht verändert."},
    {"IDS_CANCEL_FINISH",
     "Die Installation wurde abgebrochen. Das Vorlagenverzeichnis wurde nicht verändert."},
    {"IDS_BROWSE_SELDIR", "Ausgewähltes Verzeichnis:"},
    {"IDS_BROWSE_OK", "Auswählen"},
    {"IDS_BROWSE_CANCEL", "Abbrechen"},
    {"IDS_WELCOME_TITLE", "Willkommen beim Installationsprogramm des Produkts"},
    {"IDS_SETUP_EXISTEDTARGET",
     "Das Installationsverzeichnis enthält Dateien, die während der Installation geändert werden "
     "können. Möchten Sie fortfahren?"},
    {"IDS_DESTINATION_PROMPT",
     "Geben Sie den Pfad zum Vorlagenverzeichnis an. Das Installationsprogramm installiert "
     "Vorlagen und Konfigurationsdateien in das angegebene Verzeichnis."},
    {"IDS_TEMPLATE_CATALOG", "Vorlagenverzeichnis:"},
    {"IDS_MSGBOX_YES", "&Ja"},
    {"IDS_MSGBOX_NO", "&Nein"},
    {"IDS_MSGBOX_OK", "&OK"},
    {"IDS_WELCOME_LINE", "%1 %2 (%3)."},
    {"IDS_WARN_LAUNCHERFILE",
     "Die Vorlagen sind installiert, aber die Einstellungsdatei des Startprogramms %1 konnte nicht "
     "geschrieben werden: Das Startprogramm wird dieses Vorlagenverzeichnis nicht finden."},
    {"IDS_SETUP_COUNTS",
     "Neue Dateien: %1. Zu ersetzende Dateien: %2. Beibehaltene Dateien (neuer oder gleich): %3."},
    {"IDS_ERROR_SPACEDETAIL", "Temporäres Verzeichnis %1: %2 MB benötigt, %3 MB verfügbar."},
    {"IDS_ERROR_NOTSIGNED",
     "Die Distributionsdatei kelda.efd ist nicht von %1 signiert und kann nicht installiert "
     "werden."},
    {"IDS_ERROR_NOTRESTORED",
     "Die Installation wurde abgebrochen. Das Vorlagenverzeichnis konnte nicht vollständig "
     "wiederhergestellt werden: Die früheren Versionen einiger Dateien liegen im Ordner %1."},
    {"IDS_RECOVERY_DONE", "Eine unterbrochene Installation in %1 wurde rückgängig gemacht."},
    {"IDS_RECOVERY_CHANGED",
     "Eine unterbrochene Installation in %1 wurde rückgängig gemacht, außer bei Dateien, die "
     "seitdem geändert wurden; diese blieben unverändert."},
    {"IDS_RECOVERY_NOTRESTORED",
     "Eine unterbrochene Installation in %1 konnte nicht vollständig rückgängig gemacht werden: "
     "Die früheren Versionen einiger Dateien liegen im Ordner %2."},
    {"IDS_RECOVERY_UNREADABLE",
     "Das Protokoll einer unterbrochenen Installation, %1, konnte nicht gelesen werden und blieb "
     "unangetastet."},
    {"IDS_INSTALL_BUSY",
     "In dieses Vorlagenverzeichnis wird gerade eine andere Installation ausgeführt. Versuchen Sie "
     "es erneut, wenn sie abgeschlossen ist."},
    {"IDS_ERROR_NOTWRITABLE",
     "Das Vorlagenverzeichnis kann nicht angelegt oder beschrieben werden. Geben Sie ein anderes "
     "Verzeichnis an."},
    {"IDS_BROWSE_BUTTON", "Durchsuchen"},
    {"IDS_OPEN_FAILED", "Die Beschreibung konnte nicht geöffnet werden: %1"},
    {"IDS_PLAN_NEW", "neu"},
    {"IDS_PLAN_UPDATE", "ersetzen"},
    {"IDS_PLAN_KEEP", "behalten"},
    {"IDS_PLAN_BLOCKED", "gesperrt"},
    {"IDS_PLAN_SUMMARY",
     "Neu: %1, zu ersetzen: %2, behalten: %3, gesperrt: %4; %5 Bytes würden geschrieben."},
    {"IDS_ERROR_LINEBREAK",
     "Der Name des Vorlagenverzeichnisses enthält einen Zeilenumbruch, einen "
     "Wagenrücklauf oder ein NUL-Zeichen, die die Einstellungsdatei des Starters "
     "nicht aufnehmen kann. Geben Sie ein anderes Verzeichnis an."},
    {"IDS_ERROR_DISPLAYLOST", "Die Verbindung zur Anzeige wurde unterbrochen."},
    {"IDS_ERROR_TEMPUNUSABLE", "Das temporäre Verzeichnis kann nicht verwendet werden."},
};
