#include "app/ViewerApp.h"

// The one application object, for the life of the process.
CViewerApp theApp;

int main(int argc, char** argv)
{
    return AfxWinMain(argc, argv);
}
