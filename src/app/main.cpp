#include "app/ConverterApp.h"

int main(int argc, char** argv) {
    tessival::ConverterApp app(argc, argv);
    app.InitInstance();
}
