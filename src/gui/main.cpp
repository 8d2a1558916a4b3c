#include "gui/app/MVRKrsExpApp.h"

int main(int argc, char** argv) {
    return mvr::gui::RunApplication(argc, argv);
}
