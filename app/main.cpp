#include <cstdio>

int main()
{
    std::puts("Paravel: the viewer is not built yet.");
    return 0;
}
