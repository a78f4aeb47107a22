#include <cstdio>
#include <cstring>

#include "app/ConverterApp.h"
#include "res/Version.h"

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("tessival %s\n", tessival::kVersion);
        return 0;
    }
    tessival::ConverterApp app(argc, argv);
    app.InitInstance();
}
