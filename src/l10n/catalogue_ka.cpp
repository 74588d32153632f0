// Georgian texts, in the key order of the English table.
#include "l10n/catalogue_tables.h"

const CatalogueRows kCatalogueKa = {
    {"IDS_WIZARD_BACK", "< უკან"},
    {"IDS_WIZARD_NEXT", "შემდეგი >"},
    {"IDS_WIZARD_FINISH", "დასრულება"},
    {"IDS_WIZARD_CANCEL", "გაუქმება"},
    {"IDS_ACCEPT_CANCEL", "ნამდვილად გსურთ ინსტალაციის გაუქმება?"},
    {"IDS_TITLE_INSTALLER", "კონფიგურაციის ინსტალაცია"},
    {"IDS_PREPARECOPY", "კოპირების მომზადება..."},
    {"IDS_INSTALL_ERROR", "ინსტალაციის შეცდომა"},
    {"IDS_ERROR_NOSOURCE", "დისტრიბუციის ფაილი kelda.efd ვერ მოიძებნა."},
    {"IDS_ERROR_NOTARGET", "შაბლონების ინსტალაცია მიმდინარე კატალოგში არ არის მხარდაჭერილი."},
    {"IDS_ERROR_NOSPACE", "Temp კატალოგში საკმარისი თავისუფალი ადგილი არ არის."},
    {"IDS_CHOOSEDIR_FOLDER", "&საქაღალდე:"},
    {"IDS_CHOOSEDIR_TITLE", "კატალოგის არჩევა"},
    {"IDR_MAINFRAME", "კონფიგურაციის ინსტალაცია"},
    {"IDS_SETUP_EMPTYTARGET", "მიუთითეთ შაბლონების კატალოგის სწორი გზა."},
    {"IDS_INSTALL_FINISH", "კოპირება დასრულდა..."},
    {"IDS_ERROR_DAMAGEDSOURCE",
     "დისტრიბუციის ფაილი kelda.efd დაზიანებულია ან არ არის განკუთვნილი ამ საინსტალაციო "
     "პროგრამისთვის."},
    {"IDS_DEFPRODUCT", "<პროდუქტი>"},
    {"IDS_DEFPROVIDER", "<მომწოდებელი>"},
    {"IDS_SUCCESS_FINISH", "კონფიგურაცია წარმატებით დაინსტალირდა."},
    {"IDS_SUCCESS_OPENDESCR", "დისტრიბუციის პაკეტის აღწერის გახსნა"},
    {"IDS_PROGRESS_START", "მიმდინარეობს ფაილების კოპირება..."},
    {"IDS_ERROR_FINISH",
     "ინსტალაციის დროს მოხდა შეცდომა. ინსტალაცია გაუქმდა. შაბლონების კატალოგი არ შეცვლილა."},
    {"IDS_CANCEL_FINISH", "ინსტალაცია გაუქმდა. შაბლონების კატალოგი არ შეცვლილა."},
    {"IDS_BROWSE_SELDIR", "არჩეული კატალოგი:"},
    {"IDS_BROWSE_OK", "არჩევა"},
    {"IDS_BROWSE_CANCEL", "გაუქმება"},
    {"IDS_WELCOME_TITLE", "მოგესალმებათ პროდუქტის საინსტალაციო პროგრამა"},
    {"IDS_SETUP_EXISTEDTARGET",
     "საინსტალაციო კატალოგი შეიცავს ფაილებს, რომლებიც ინსტალაციის დროს შეიძლება შეიცვალოს. გსურთ "
     "გაგრძელება?"},
    {"IDS_DESTINATION_PROMPT",
     "მიუთითეთ შაბლონების კატალოგის გზა. საინსტალაციო პროგრამა შაბლონებსა და კონფიგურაციის ფაილებს "
     "მითითებულ კატალოგში დააინსტალირებს."},
    {"IDS_TEMPLATE_CATALOG", "შაბლონების კატალოგი:"},
};
