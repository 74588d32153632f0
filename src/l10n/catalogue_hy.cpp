// Armenian texts, in the key order of the English table.
#include "l10n/catalogue_tables.h"

const CatalogueRows kCatalogueHy = {
    {"IDS_WIZARD_BACK", "< Հետ"},
    {"IDS_WIZARD_NEXT", "Հաջորդը >"},
    {"IDS_WIZARD_FINISH", "Ավարտել"},
    {"IDS_WIZARD_CANCEL", "Չեղարկել"},
    {"IDS_ACCEPT_CANCEL", "Իսկապե՞ս ցանկանում եք չեղարկել տեղադրումը։"},
    {"IDS_TITLE_INSTALLER", "Կազմաձևման տեղադրում"},
    {"IDS_PREPARECOPY", "Պատճենման նախապատրաստում..."},
    {"IDS_INSTALL_ERROR", "Տեղադրման սխալ"},
    {"IDS_ERROR_NOSOURCE", "Բաշխման փաթեթի kelda.efd ֆայլը չի գտնվել։"},
    {"IDS_ERROR_NOTARGET", "Ձևանմուշների տեղադրումն ընթացիկ գրացուցակում չի աջակցվում։"},
    {"IDS_ERROR_NOSPACE", "Temp գրացուցակում բավարար ազատ տեղ չկա։"},
    {"IDS_CHOOSEDIR_FOLDER", "&Պանակ:"},
    {"IDS_CHOOSEDIR_TITLE", "Գրացուցակի ընտրություն"},
    {"IDR_MAINFRAME", "Կազմաձևման տեղադրում"},
    {"IDS_SETUP_EMPTYTARGET", "Նշեք ձևանմուշների գրացուցակի ճիշտ ուղին։"},
    {"IDS_INSTALL_FINISH", "Պատճենումն ավարտված է..."},
    {"IDS_ERROR_DAMAGEDSOURCE",
     "Բաշխման փաթեթի kelda.efd ֆայլը վնասված է կամ նախատեսված չէ այս տեղադրման ծրագրի համար։"},
    {"IDS_DEFPRODUCT", "<Արտադրանք>"},
    {"IDS_DEFPROVIDER", "<Մատակարար>"},
    {"IDS_SUCCESS_FINISH", "Կազմաձևումը հաջողությամբ տեղադրվեց։"},
    {"IDS_SUCCESS_OPENDESCR", "Բացել բաշխման փաթեթի նկարագրությունը"},
    {"IDS_PROGRESS_START", "Ֆայլերը պատճենվում են..."},
    {"IDS_ERROR_FINISH",
     "Տեղադրման ընթացքում սխալ է տեղի ունեցել։ Տեղադրումը չեղարկվել է։ Ձևանմուշների գրացուցակը չի "
     "փոփոխվել։"},
    {"IDS_CANCEL_FINISH", "Տեղադրումը չեղարկվել է։ Ձևանմուշների գրացուցակը չի փոփոխվել։"},
    {"IDS_BROWSE_SELDIR", "Ընտրված գրացուցակ:"},
    {"IDS_BROWSE_OK", "Ընտրել"},
    {"IDS_BROWSE_CANCEL", "Չեղարկել"},
    {"IDS_WELCOME_TITLE", "Բարի գալուստ արտադրանքի տեղադրման ծրագիր"},
    {"IDS_SETUP_EXISTEDTARGET",
     "Տեղադրման գրացուցակը պարունակում է ֆայլեր, որոնք կարող են փոփոխվել տեղադրման ընթացքում։ "
     "Ցանկանու՞մ եք շարունակել։"},
    {"IDS_DESTINATION_PROMPT",
     "Նշեք ձևանմուշների գրացուցակի ուղին։ Տեղադրման ծրագիրը ձևանմուշները և կազմաձևման ֆայլերը "
     "կտեղադրի նշված գրացուցակում։"},
    {"IDS_TEMPLATE_CATALOG", "Ձևանմուշների գրացուցակ:"},
};
