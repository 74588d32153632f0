// Spanish texts, in the key order of the English table.
#include "l10n/catalogue_tables.h"

const CatalogueRows kCatalogueEs = {
    {"IDS_WIZARD_BACK", "< Atrás"},
    {"IDS_WIZARD_NEXT", "Siguiente >"},
    {"IDS_WIZARD_FINISH", "Finalizar"},
    {"IDS_WIZARD_CANCEL", "Cancelar"},
    {"IDS_ACCEPT_CANCEL", "¿Realmente desea cancelar la instalación?"},
    {"IDS_TITLE_INSTALLER", "Instalando la configuración"},
    {"IDS_PREPARECOPY", "Preparando la copia..."},
    {"IDS_INSTALL_ERROR", "Error de instalación"},
    {"IDS_ERROR_NOSOURCE", "No se encontró el archivo del paquete de distribución kelda.efd."},
    {"IDS_ERROR_NOTARGET", "No se admite la instalación de plantillas en el directorio actual."},
    {"IDS_ERROR_NOSPACE", "No hay suficiente espacio disponible en el directorio Temp."},
    {"IDS_CHOOSEDIR_FOLDER", "&Carpeta:"},
    {"IDS_CHOOSEDIR_TITLE", "Elegir directorio"},
    {"IDR_MAINFRAME", "Instalando la configuración"},
    {"IDS_SETUP_EMPTYTARGET", "Especifique una ruta correcta al directorio de plantillas."},
    {"IDS_INSTALL_FINISH", "Copia completada..."},
    {"IDS_ERROR_DAMAGEDSOURCE",
     "El archivo del paquete de distribución kelda.efd está dañado o no está diseñado para este "
     "programa de instalación."},
    {"IDS_DEFPRODUCT", "<Producto>"},
    {"IDS_DEFPROVIDER", "<Proveedor>"},
    {"IDS_SUCCESS_FINISH", "La configuración se instaló correctamente."},
    {"IDS_SUCCESS_OPENDESCR", "Abrir la descripción del paquete de distribución"},
    {"IDS_PROGRESS_START", "Copiando archivos..."},
    {"IDS_ERROR_FINISH",
     "Se produjo un error durante el proceso de instalación. Se canceló la instalación. El "
     "directorio de plantillas no se ha modificado."},
    {"IDS_CANCEL_FINISH",
     "Se canceló la instalación. El directorio de plantillas no se ha modificado."},
    {"IDS_BROWSE_SELDIR", "Directorio seleccionado:"},
    {"IDS_BROWSE_OK", "Seleccionar"},
    {"IDS_BROWSE_CANCEL", "Cancelar"},
    {"IDS_WELCOME_TITLE", "Bienvenido al programa de instalación del producto"},
    {"IDS_SETUP_EXISTEDTARGET",
     "El directorio de instalación contiene archivos que pueden modificarse durante el proceso de "
     "instalación. ¿Desea continuar?"},
    {"IDS_DESTINATION_PROMPT",
     "Especifique la ruta al directorio de plantillas. El programa de instalación instalará las "
     "plantillas y los archivos de configuración en el directorio especificado."},
    {"IDS_TEMPLATE_CATALOG", "Directorio de plantillas:"},
    {"IDS_MSGBOX_YES", "&Sí"},
    {"IDS_MSGBOX_NO", "&No"},
    {"IDS_MSGBOX_OK", "&Aceptar"},
    {"IDS_WELCOME_LINE", "%1 %2 (%3)."},
    {"IDS_WARN_LAUNCHERFILE",
     "Las plantillas se han instalado, pero no se pudo escribir el archivo de configuración del "
     "lanzador %1: el lanzador no encontrará este directorio de plantillas."},
    {"IDS_SETUP_COUNTS",
     "Archivos nuevos: %1. Archivos que se reemplazarán: %2. Archivos que se conservan (más "
     "recientes o iguales): %3."},
    {"IDS_ERROR_SPACEDETAIL", "Directorio temporal %1: se necesitan %2 MB, hay %3 MB disponibles."},
    {"IDS_ERROR_NOTSIGNED",
     "El archivo del paquete de distribución kelda.efd no está firmado por %1 y no se puede "
     "instalar."},
    {"IDS_ERROR_NOTRESTORED",
     "Se canceló la instalación. No se pudo restaurar por completo el directorio de plantillas: "
     "las versiones anteriores de algunos archivos se conservan en la carpeta %1."},
    {"IDS_RECOVERY_DONE", "Se deshizo una instalación interrumpida en %1."},
    {"IDS_RECOVERY_CHANGED",
     "Se deshizo una instalación interrumpida en %1, salvo los archivos modificados desde "
     "entonces, que se dejaron como estaban."},
    {"IDS_RECOVERY_NOTRESTORED",
     "No se pudo deshacer por completo una instalación interrumpida en %1: las versiones "
     "anteriores de algunos archivos se conservan en la carpeta %2."},
    {"IDS_RECOVERY_UNREADABLE",
     "No se pudo leer el registro de una instalación interrumpida, %1, y se dejó intacto."},
    {"IDS_INSTALL_BUSY",
     "Hay otra instalación en curso en este directorio de plantillas. Vuelva a intentarlo cuando "
     "haya terminado."},
    {"IDS_ERROR_NOTWRITABLE",
     "No se puede crear el directorio de plantillas ni escribir en él. Especifique otro "
     "directorio."},
    {"IDS_BROWSE_BUTTON", "Examinar"},
    {"IDS_OPEN_FAILED", "No se pudo abrir la descripción: %1"},
    {"IDS_PLAN_NEW", "nuevo"},
    {"IDS_PLAN_UPDATE", "actualizar"},
    {"IDS_PLAN_KEEP", "conservar"},
    {"IDS_PLAN_BLOCKED", "bloqueado"},
    {"IDS_PLAN_SUMMARY",
     "Nuevos: %1, por actualizar: %2, conservados: %3, bloqueados: %4; se escribirían %5 bytes."},
    {"IDS_ERROR_LINEBREAK",
     "El nombre del directorio de plantillas contiene un salto de línea, un retorno "
     "de carro o un carácter NUL, que el archivo de configuración del lanzador no "
     "puede contener. Especifique otro directorio."},
    {"IDS_ERROR_DISPLAYLOST", "Se perdió la conexión con la pantalla."},
    {"IDS_ERROR_TEMPUNUSABLE", "No se puede usar el directorio temporal."},
};
