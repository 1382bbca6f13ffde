#include "app/application.h"
#include "app/headless.h"

int main(int argc, char** argv) {
    if (IsHeadlessRun(argc, argv))
        return RunHeadless(argc, argv);
    return RunVelmora(argc, argv);
}
