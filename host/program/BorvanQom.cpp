// The standalone host program.

#include "host/app/vphoApplication.h"
#include "platform/x11/X11MessageBox.h"

int main(int argc, char** argv)
{
    // Messages in a box of their own; on standard error without a display.
    platform::ui::x11::installMessageBox();
    return hostWinMain(argc, argv);
}
