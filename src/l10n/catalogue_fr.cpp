// French texts, in the key order of the English table.
#include "l10n/catalogue_tables.h"

const CatalogueRows kCatalogueFr = {
    {"IDS_WIZARD_BACK", "< Retour"},
    {"IDS_WIZARD_NEXT", "Suivant >"},
    {"IDS_WIZARD_FINISH", "OK"},
    {"IDS_WIZARD_CANCEL", "Annuler"},
    {"IDS_ACCEPT_CANCEL", "Voulez-vous vraiment annuler l'installation\u00a0?"},
    {"IDS_TITLE_INSTALLER", "Installation de la configuration"},
    {"IDS_PREPARECOPY", "Préparation de la copie..."},
    {"IDS_INSTALL_ERROR", "Erreur d'installation"},
    {"IDS_ERROR_NOSOURCE", "Le fichier du kit de distribution kelda.efd est introuvable."},
    {"IDS_ERROR_NOTARGET",
     "L'installation des modèles dans le répertoire courant n'est pas prise en charge."},
    {"IDS_ERROR_NOSPACE", "Espace disponible insuffisant dans le répertoire Temp."},
    {"IDS_CHOOSEDIR_FOLDER", "&Dossier\u00a0:"},
    {"IDS_CHOOSEDIR_TITLE", "Choisir un répertoire"},
    {"IDR_MAINFRAME", "Installation de la configuration"},
    {"IDS_SETUP_EMPTYTARGET", "Indiquez un chemin valide vers le répertoire des modèles."},
    {"IDS_INSTALL_FINISH", "Copie terminée..."},
    {"IDS_ERROR_DAMAGEDSOURCE",
     "Le fichier du kit de distribution kelda.efd est endommagé ou n'est pas destiné à ce "
     "programme d'installation."},
    {"IDS_DEFPRODUCT", "<Produit>"},
    {"IDS_DEFPROVIDER", "<Fournisseur>"},
    {"IDS_SUCCESS_FINISH", "La configuration a été installée avec succès."},
    {"IDS_SUCCESS_OPENDESCR", "Ouvrir la description du paquet de distribution"},
    {"IDS_PROGRESS_START", "Copie des fichiers en cours..."},
    {"IDS_ERROR_FINISH",
     "Une erreur s'est produite pendant l'installation. L'installation a été annulée. Le "
     "répertoire des modèles n'a pas été modifié."},
    {"IDS_CANCEL_FINISH",
     "L'installation a été annulée. Le répertoire des modèles n'a pas été modifié."},
    {"IDS_BROWSE_SELDIR", "Répertoire sélectionné\u00a0:"},
    {"IDS_BROWSE_OK", "Sélectionner"},
    {"IDS_BROWSE_CANCEL", "Annuler"},
    {"IDS_WELCOME_TITLE", "Bienvenue dans le programme d'installation du produit"},
    {"IDS_SETUP_EXISTEDTARGET",
     "Le répertoire d'installation contient des fichiers susceptibles d'être modifiés pendant "
     "l'installation. Voulez-vous continuer\u00a0?"},
    {"IDS_DESTINATION_PROMPT",
     "Indiquez le chemin du répertoire des modèles. Le programme d'installation y installera les "
     "modèles et les fichiers de configuration."},
    {"IDS_TEMPLATE_CATALOG", "Répertoire des modèles\u00a0:"},
    {"IDS_MSGBOX_YES", "&Oui"},
    {"IDS_MSGBOX_NO", "&Non"},
    {"IDS_MSGBOX_OK", "&OK"},
    {"IDS_WELCOME_LINE", "%1 %2 (%3)."},
    {"IDS_WARN_LAUNCHERFILE",
     "Les modèles sont installés, mais le fichier de paramètres du lanceur %1 n’a pas pu être "
     "écrit : le lanceur ne trouvera pas ce répertoire de modèles."},
    {"IDS_SETUP_COUNTS",
     "Nouveaux fichiers : %1. Fichiers à remplacer : %2. Fichiers conservés (plus récents ou "
     "identiques) : %3."},
    {"IDS_ERROR_SPACEDETAIL", "Répertoire temporaire %1 : %2 Mo nécessaires, %3 Mo disponibles."},
    {"IDS_ERROR_NOTSIGNED",
     "Le fichier du kit de distribution kelda.efd n'est pas signé par %1 et ne peut pas être "
     "installé."},
    {"IDS_ERROR_NOTRESTORED",
     "L'installation a été annulée. Le répertoire des modèles n'a pas pu être entièrement "
     "restauré\u00a0: les versions précédentes de certains fichiers sont conservées dans le "
     "dossier %1."},
    {"IDS_RECOVERY_DONE", "Une installation interrompue dans %1 a été annulée."},
    {"IDS_RECOVERY_CHANGED",
     "Une installation interrompue dans %1 a été annulée, sauf pour les fichiers modifiés "
     "depuis\u00a0; ceux-ci ont été laissés tels quels."},
    {"IDS_RECOVERY_NOTRESTORED",
     "Une installation interrompue dans %1 n'a pas pu être entièrement annulée\u00a0: les versions "
     "précédentes de certains fichiers sont conservées dans le dossier %2."},
    {"IDS_RECOVERY_UNREADABLE",
     "Le journal d'une installation interrompue, %1, n'a pas pu être lu et a été laissé tel quel."},
    {"IDS_INSTALL_BUSY",
     "Une autre installation dans ce répertoire des modèles est en cours. Réessayez lorsqu'elle "
     "sera terminée."},
    {"IDS_ERROR_NOTWRITABLE",
     "Impossible de créer le répertoire des modèles ou d'y écrire. Indiquez un autre répertoire."},
    {"IDS_BROWSE_BUTTON", "Parcourir"},
    {"IDS_OPEN_FAILED", "La description n'a pas pu être ouverte : %1"},
    {"IDS_PLAN_NEW", "nouveau"},
    {"IDS_PLAN_UPDATE", "mise à jour"},
    {"IDS_PLAN_KEEP", "conservé"},
    {"IDS_PLAN_BLOCKED", "bloqué"},
    {"IDS_PLAN_SUMMARY",
     "Nouveaux : %1, à mettre à jour : %2, conservés : %3, bloqués : %4 ; %5 octets seraient "
     "écrits."},
    {"IDS_ERROR_LINEBREAK",
     "Le nom du répertoire des modèles contient un saut de ligne, un retour chariot "
     "ou un caractère NUL, que le fichier de paramètres du lanceur ne peut pas "
     "contenir. Indiquez un autre répertoire."},
    {"IDS_ERROR_DISPLAYLOST", "La connexion à l'affichage a été perdue."},
    {"IDS_ERROR_TEMPUNUSABLE", "Le répertoire temporaire ne peut pas être utilisé."},
};
