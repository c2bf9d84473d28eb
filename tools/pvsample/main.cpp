#include <cstdio>

int main()
{
    std::fputs("pvsample: not built yet\n", stderr);
    return 1;
}
