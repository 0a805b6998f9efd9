#include "preload_table.h"

// Loaded in this order; the dialog's progress counts these rows.
PreloadRow preloadTable[] = {
    "rbase.dll",
    "rmain.dll",
    "rxml.dll",
    "rinput.dll",
    "rengine.dll",
    "raudio.dll",
    "rparticle.dll",
    "rphysics.dll",
    "rui.dll",
    "regl.dll",
    "rgles2renderer.dll",
    "rgles3renderer.dll",
    "rglbootstrap.dll",
    "rimport.dll",
    "rflow.dll",
    "rsquirrel.dll",
    "sqrbase.dll",
    "sqrmain.dll",
    "sqrxml.dll",
    "sqrinput.dll",
    "sqrengine.dll",
    "sqraudio.dll",
    "sqrparticle.dll",
    "sqrphysics.dll",
    "sqrui.dll",
    "selfupdate.dll",
    "lobby-client.dll",
    "talk3client.dll",
    "uiCtrl_rmod.dll",
    "qmbrowser.dll",
    "webapi2.dll",
    "mediashow.dll",
    "stageengine.dll",
    "clip-player.dll",
    kDefaultProductLibraryFile,
    nullptr,
};

int preloadRowCount() {
    int count = 0;
    while (preloadTable[count].fileName)
        ++count;
    return count;
}
