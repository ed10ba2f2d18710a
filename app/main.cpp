#include "app/startup.h"

int main(int argc, char** argv)
{
    return runTrainer(argc, argv);
}
