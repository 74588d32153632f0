// English texts: the reference for the keys and their order in every other
// table. "ar" is built from these rows too.
#include "l10n/catalogue_tables.h"

const CatalogueRows kCatalogueEn = {
    {"IDS_WIZARD_BACK", "< Back"},
    {"IDS_WIZARD_NEXT", "Next >"},
    {"IDS_WIZARD_FINISH", "Finish"},
    {"IDS_WIZARD_CANCEL", "Cancel"},
    {"IDS_ACCEPT_CANCEL", "Do you really want to cancel installation?"},
    {"IDS_TITLE_INSTALLER", "Installing configuration"},
    {"IDS_PREPARECOPY", "Preparing to copy..."},
    {"IDS_INSTALL_ERROR", "Installation error"},
    {"IDS_ERROR_NOSOURCE", "Distribution kit file kelda.efd not found."},
    {"IDS_ERROR_NOTARGET", "Installation of templates to the current directory is not supported."},
    {"IDS_ERROR_NOSPACE", "Insufficient space available in the directory Temp."},
    {"IDS_CHOOSEDIR_FOLDER", "&Folder:"},
    {"IDS_CHOOSEDIR_TITLE", "Choose Directory"},
    {"IDR_MAINFRAME", "Installing configuration"},
    {"IDS_SETUP_EMPTYTARGET", "Specify correct path to template directory."},
    {"IDS_INSTALL_FINISH", "Copying complete..."},
    {"IDS_ERROR_DAMAGEDSOURCE",
     "Distribution kit file kelda.efd corrupted or not designed for this installation "
     "program."},
    {"IDS_DEFPRODUCT", "<Product>"},
    {"IDS_DEFPROVIDER", "<Vendor>"},
    {"IDS_SUCCESS_FINISH", "Configuration installed successfully."},
    {"IDS_SUCCESS_OPENDESCR", "Open description of distribution package"},
    {"IDS_PROGRESS_START", "Files being copied..."},
    {"IDS_ERROR_FINISH",
     "An error occurred during the installation process. Installation canceled. Template "
     "directory has not been changed."},
    {"IDS_CANCEL_FINISH", "Installation canceled. Template directory has not been changed."},
    {"IDS_BROWSE_SELDIR", "Directory selected:"},
    {"IDS_BROWSE_OK", "Select"},
    {"IDS_BROWSE_CANCEL", "Cancel"},
    {"IDS_WELCOME_TITLE", "Welcome to the product installation program"},
    {"IDS_SETUP_EXISTEDTARGET",
     "The installation directory contains files that may be changed during the "
     "installation process. Do you want to continue?"},
    {"IDS_DESTINATION_PROMPT",
     "Specify path to template directory. The installation program will install "
     "templates and configuration files to the specified directory."},
    {"IDS_TEMPLATE_CATALOG", "Template directory:"},
    {"IDS_MSGBOX_YES", "&Yes"},
    {"IDS_MSGBOX_NO", "&No"},
    {"IDS_MSGBOX_OK", "&OK"},
    {"IDS_WELCOME_LINE", "%1 %2 (%3)."},
    {"IDS_WARN_LAUNCHERFILE",
     "The templates are installed, but the launcher settings file %1 could not be written: the "
     "launcher will not find this template directory."},
    {"IDS_SETUP_COUNTS",
     "New files: %1. Files to be replaced: %2. Files kept (newer or the same): %3."},
    {"IDS_ERROR_SPACEDETAIL", "Temporary directory %1: %2 MB needed, %3 MB available."},
    {"IDS_ERROR_NOTSIGNED",
     "Distribution kit file kelda.efd is not signed by %1 and cannot be installed."},
    {"IDS_ERROR_NOTRESTORED",
     "Installation canceled. The template directory could not be fully restored: the earlier "
     "versions of some files are kept in the folder %1."},
    {"IDS_RECOVERY_DONE", "An interrupted installation into %1 was undone."},
    {"IDS_RECOVERY_CHANGED",
     "An interrupted installation into %1 was undone, except for files changed since then; they "
     "were left as they are."},
    {"IDS_RECOVERY_NOTRESTORED",
     "An interrupted installation into %1 could not be fully undone: the earlier versions of some "
     "files are kept in the folder %2."},
    {"IDS_RECOVERY_UNREADABLE",
     "The record of an interrupted installation, %1, could not be read and was left alone."},
    {"IDS_INSTALL_BUSY",
     "Another installation into this template directory is running. Try again when it has "
     "finished."},
    {"IDS_ERROR_NOTWRITABLE",
     "The template directory cannot be created or written to. Specify another directory."},
    {"IDS_BROWSE_BUTTON", "Browse"},
    {"IDS_OPEN_FAILED", "The description could not be opened: %1"},
    {"IDS_PLAN_NEW", "new"},
    {"IDS_PLAN_UPDATE", "update"},
    {"IDS_PLAN_KEEP", "keep"},
    {"IDS_PLAN_BLOCKED", "blocked"},
    {"IDS_PLAN_SUMMARY",
     "New: %1, to update: %2, kept: %3, blocked: %4; %5 bytes would be written."},
    {"IDS_ERROR_LINEBREAK",
     "The template directory name contains a line break, a carriage return or a NUL "
     "character, which the launcher settings file cannot hold. Specify another "
     "directory."},
    {"IDS_ERROR_DISPLAYLOST", "The connection to the display was lost."},
    {"IDS_ERROR_TEMPUNUSABLE", "The temporary directory cannot be used."},
};
