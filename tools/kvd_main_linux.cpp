#include "kvd_main.h"

int main(int argc, char** argv)
{
    return KvdMain(std::vector<std::string>(argv + 1, argv + argc));
}
