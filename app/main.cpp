#include "Application.h"

int main(int argc, char *argv[])
{
    GromadnikApplication app(argc, argv);
    return app.run();
}
