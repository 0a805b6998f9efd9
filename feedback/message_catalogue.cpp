#include "message_catalogue.h"

#include <cstring>

namespace {

struct CatalogueRow {
    const char* language;
    int32_t number;
    const char* text;
};

// All Spanish rows stand before all English ones: the lookup's fallback to
// the last matching number is what makes English the default.
const CatalogueRow messageRows[] = {
    {"es", 1, "Hay una nueva version del visor disponile.\nEs necesario actualizar el componente para continuar."},
    {"es", 2, "El visor no se ha instalado correctamente.\nEs necesario reinstalar el componente para continuar."},
    {"es", 3, "No se ha podido cargar la libreria del producto.\nEs posible que la aplicacion no se haya instalado correctamente."},
    {"es", 4, "El visor no se ha instalado correctamente.\nNo ha sido posible inicializar la aplicacion."},
    {"es", 5, "Error"},
    {"es", 6, "Atencion"},
    {"es", 7, "Informacion"},
    {"es", 8, "Inicializando componente..."},
    {"es", 9, "Tu sistema no dispone de capacidad grafica sufiente para ejecutar el complemento 3D.\nPuedes intentar actualizar los drivers de la tarjeta grafica e intentarlo de nuevo."},
    {"es", 10, "El visor no se ha instalado correctamente.\nNo ha sido posible recuperar la informacion del registro de Windows.\nEs necesario reinstalar el componente para continuar."},
    {"es", 11, "El visor no se ha instalado correctamente.\nEl contenido del registro de Windows no es valido.\nEs necesario reinstalar el componente para continuar."},
    {"es", 12, "Para completar la instalacion debe cerrar TODAS LAS VENTANAS DEL NAVEGADOR"},
    {"es", 13, "Para completar la instalacion debe cerrar TODAS LAS VENTANAS DEL NAVEGADOR o reiniciar el ordenador"},
    {"es", 14, "El proceso de actualizacion ha reportado errores.\nArranque de aplicacion abortado."},
    {"es", 15, "Actualizando. Un momento por favor..."},
    {"es", 16, "En ejecucion"},
    {"es", 17, "Arrancando..."},
    {"es", 18, "Cerrando"},
    {"es", 19, "Detenido"},
    {"es", 20, "Estado desconocido"},
    {"es", 21, "Error de actualizacion"},
    {"es", 22, "Algunos archivos no han podido ser actualizados.\nSeleccione una opcion para continuar."},
    {"es", 23, "Reintentar"},
    {"es", 24, "Cancelar"},
    {"es", 25, "Continuar"},
    {"es", 26, "Nueva version disponible.\nPulsa aceptar para abrir la pagina de descarga."},
    {"es", 27, "La aplicacion se reiniciara para aplicar los cambios."},
    {"es", 28, "Ha ocurrido un problema durante el reinicio de la aplicacion."},
    {"es", 29, "Cargando..."},
    {"es", 30, "Por favor, espera mientras arranca la aplicacion.\nTu anti-virus esta verificando los archivos..."},
    {"es", 31, "Verificando librerias..."},
    {"es", 32, "La tarjeta grafica parece no ser comptaible con OpenGL 3.\nContacta con tu adminitrador de sistemas o accede al sitio web del fabricante para conseguir unos drivers OpenGL actualizados."},
    {"es", 33, "Aceptar"},
    {"es", 34, "Alguno de los permisos requeridos ha sido rechazado, es posible que alguna funcionalidad no este disponible."},
    {"en", 1, "A new version of the 3D viewer is available.\nThe plug-in component needs to be updated in order to continue."},
    {"en", 2, "The 3D viewer has not been correctly installed.\nA fresh re-installation is needed in order to continue."},
    {"en", 3, "Unable to load product library.\nThe application might not be correctly installed."},
    {"en", 4, "The 3D viewer has not been correctly installed.\nTCould not initialize the application."},
    {"en", 5, "Error"},
    {"en", 6, "Warning"},
    {"en", 7, "Information"},
    {"en", 8, "Initializing..."},
    {"en", 9, "Your graphics system does not have the required capabilities to run the 3D viewer.\nYou might want to make sure you have the latest drivers and try again."},
    {"en", 10, "The 3D viewer has not been correctly installed.\nThere was an error reading the Windows registry.\nA fresh re-installation is needed in order to continue."},
    {"en", 11, "The 3D viewer has not been correctly installed.\nThe windows registry contains invalid data.\nA fresh re-installation is needed in order to continue."},
    {"en", 12, "to complete the installation you must close ALL BROWSER WINDOWS"},
    {"en", 13, "to complete the installation you must close ALL BROWSER WINDOWS or reboot"},
    {"en", 14, "The update process reported errors.\nApplication launch aborted."},
    {"en", 15, "Updating. Please wait..."},
    {"en", 16, "Running"},
    {"en", 17, "Launching..."},
    {"en", 18, "Stopping"},
    {"en", 19, "Stopped"},
    {"en", 20, "Unknown status"},
    {"en", 21, "Update error"},
    {"en", 22, "Some files couldn't be updated.\nSelect an option bellow to continue."},
    {"en", 23, "Retry"},
    {"en", 24, "Cancel"},
    {"en", 25, "Continue"},
    {"en", 26, "New version available.\nClick Ok to launch the update page."},
    {"en", 27, "The application will be restarted to apply the changes."},
    {"en", 28, "Something has gone wrong restarting the application."},
    {"en", 29, "Loading..."},
    {"en", 30, "Please wait; the application is now launching.\nYour anti-virus software is analyzing the files..."},
    {"en", 31, "Verifying libraries..."},
    {"en", 32, "Graphics card does not seem to be OpenGL 3 compatible.\nPlease contact your system administrator or try visiting the card's vendor website to get an updated OpenGL driver."},
    {"en", 33, "Ok"},
    {"en", 34, "Some of the required permissions have been rejected, it is possible that some functionality is not available."},
    {nullptr, 0, nullptr},
};

const CatalogueRow genericRows[] = {
    {"es", 0, "Ha ocurrido un error durante la instalacion.\nPor favor, vuelva a repetir el proceso."},
    {"en", 0, "An error has occurred during the installation.\nPlease try again."},
};

bool sameLanguage(const char* a, const char* b) {
    return a && b && std::strcmp(a, b) == 0;
}

}  // namespace

const char* localizedText(const char* language, int32_t number) {
    const char* candidate = nullptr;
    for (const CatalogueRow* row = messageRows; row->language; ++row) {
        if (row->number != number)
            continue;
        if (sameLanguage(row->language, language))
            return row->text;
        candidate = row->text;
    }
    if (candidate)
        return candidate;

    for (const CatalogueRow& row : genericRows) {
        if (sameLanguage(row.language, language))
            return row.text;
    }
    return genericRows[sizeof genericRows / sizeof genericRows[0] - 1].text;
}
