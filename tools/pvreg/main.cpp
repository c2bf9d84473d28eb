#include <cstdio>

int main()
{
    std::fputs("pvreg: not built yet\n", stderr);
    return 1;
}
