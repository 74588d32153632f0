// Polish texts, in the key order of the English table.
#include "l10n/catalogue_tables.h"

const CatalogueRows kCataloguePl = {
    {"IDS_WIZARD_BACK", "< Wstecz"},
    {"IDS_WIZARD_NEXT", "Dalej >"},
    {"IDS_WIZARD_FINISH", "Zakończ"},
    {"IDS_WIZARD_CANCEL", "Anuluj"},
    {"IDS_ACCEPT_CANCEL", "Czy na pewno chcesz przerwać instalację?"},
    {"IDS_TITLE_INSTALLER", "Instalowanie konfiguracji"},
    {"IDS_PREPARECOPY", "Przygotowywanie do kopiowania..."},
    {"IDS_INSTALL_ERROR", "Błąd instalacji"},
    {"IDS_ERROR_NOSOURCE", "Nie znaleziono pliku pakietu dystrybucyjnego kelda.efd."},
    {"IDS_ERROR_NOTARGET", "Instalowanie szablonów w bieżącym katalogu nie jest obsługiwane."},
    {"IDS_ERROR_NOSPACE", "Za mało wolnego miejsca w katalogu Temp."},
    {"IDS_CHOOSEDIR_FOLDER", "&Katalog:"},
    {"IDS_CHOOSEDIR_TITLE", "Wybierz katalog"},
    {"IDR_MAINFRAME", "Instalowanie konfiguracji"},
    {"IDS_SETUP_EMPTYTARGET", "Podaj prawidłową ścieżkę do katalogu szablonów."},
    {"IDS_INSTALL_FINISH", "Kopiowanie zakończone..."},
    {"IDS_ERROR_DAMAGEDSOURCE",
     "Plik pakietu dystrybucyjnego kelda.efd jest uszkodzony lub nie jest przeznaczony dla tego "
     "programu instalacyjnego."},
    {"IDS_DEFPRODUCT", "<Produkt>"},
    {"IDS_DEFPROVIDER", "<Dostawca>"},
    {"IDS_SUCCESS_FINISH", "Konfiguracja została pomyślnie zainstalowana."},
    {"IDS_SUCCESS_OPENDESCR", "Otwórz opis pakietu dystrybucyjnego"},
    {"IDS_PROGRESS_START", "Trwa kopiowanie plików..."},
    {"IDS_ERROR_FINISH",
     "Podczas instalacji wystąpił błąd. Instalacja została przerwana. Katalog szablonów nie został "
     "zmieniony."},
    {"IDS_CANCEL_FINISH", "Instalacja została przerwana. Katalog szablonów nie został zmieniony."},
    {"IDS_BROWSE_SELDIR", "Wybrany katalog:"},
    {"IDS_BROWSE_OK", "Wybierz"},
    {"IDS_BROWSE_CANCEL", "Anuluj"},
    {"IDS_WELCOME_TITLE", "Witamy w programie instalacyjnym produktu"},
    {"IDS_SETUP_EXISTEDTARGET",
     "Katalog instalacyjny zawiera pliki, które mogą zostać zmienione podczas instalacji. Czy "
     "chcesz kontynuować?"},
    {"IDS_DESTINATION_PROMPT",
     "Podaj ścieżkę do katalogu szablonów. Program instalacyjny zainstaluje szablony i pliki "
     "konfiguracyjne w podanym katalogu."},
    {"IDS_TEMPLATE_CATALOG", "Katalog szablonów:"},
    {"IDS_MSGBOX_YES", "&Tak"},
    {"IDS_MSGBOX_NO", "&Nie"},
    {"IDS_MSGBOX_OK", "&OK"},
    {"IDS_WELCOME_LINE", "%1 %2 (%3)."},
    {"IDS_WARN_LAUNCHERFILE",
     "Szablony zostały zainstalowane, ale nie udało się zapisać pliku ustawień programu "
     "uruchamiającego %1: program uruchamiający nie znajdzie tego katalogu szablonów."},
    {"IDS_SETUP_COUNTS",
     "Nowe pliki: %1. Pliki do zastąpienia: %2. Pliki zachowane (nowsze lub takie same): %3."},
    {"IDS_ERROR_SPACEDETAIL", "Katalog tymczasowy %1: potrzeba %2 MB, dostępne %3 MB."},
    {"IDS_ERROR_NOTSIGNED",
     "Plik pakietu dystrybucyjnego kelda.efd nie jest podpisany przez %1 i nie może zostać "
     "zainstalowany."},
    {"IDS_ERROR_NOTRESTORED",
     "Instalacja została przerwana. Nie udało się w pełni przywrócić katalogu szablonów: "
     "wcześniejsze wersje niektórych plików znajdują się w folderze %1."},
    {"IDS_RECOVERY_DONE", "Przerwana instalacja w %1 została wycofana."},
    {"IDS_RECOVERY_CHANGED",
     "Przerwana instalacja w %1 została wycofana, z wyjątkiem plików zmienionych od tamtej pory; "
     "pozostawiono je bez zmian."},
    {"IDS_RECOVERY_NOTRESTORED",
     "Nie udało się w pełni wycofać przerwanej instalacji w %1: wcześniejsze wersje niektórych "
     "plików znajdują się w folderze %2."},
    {"IDS_RECOVERY_UNREADABLE",
     "Nie udało się odczytać zapisu przerwanej instalacji %1; pozostawiono go bez zmian."},
    {"IDS_INSTALL_BUSY",
     "Do tego katalogu szablonów trwa już inna instalacja. Spróbuj ponownie po jej zakończeniu."},
    {"IDS_ERROR_NOTWRITABLE",
     "Nie można utworzyć katalogu szablonów ani zapisywać w nim. Podaj inny katalog."},
    {"IDS_BROWSE_BUTTON", "Przeglądaj"},
    {"IDS_OPEN_FAILED", "Nie można otworzyć opisu: %1"},
    {"IDS_PLAN_NEW", "nowy"},
    {"IDS_PLAN_UPDATE", "aktualizacja"},
    {"IDS_PLAN_KEEP", "zachowaj"},
    {"IDS_PLAN_BLOCKED", "zablokowany"},
    {"IDS_PLAN_SUMMARY",
     "Nowe: %1, do aktualizacji: %2, zachowane: %3, zablokowane: %4; zostałoby zapisanych bajtów: "
     "%5."},
    {"IDS_ERROR_LINEBREAK",
     "Nazwa katalogu szablonów zawiera znak nowego wiersza, powrotu karetki lub znak "
     "NUL, których plik ustawień programu uruchamiającego nie może przechować. "
     "Podaj inny katalog."},
    {"IDS_ERROR_DISPLAYLOST", "Utracono połączenie z ekranem."},
    {"IDS_ERROR_TEMPUNUSABLE", "Nie można użyć katalogu tymczasowego."},
};
