#include <cstdio>

int main()
{
    std::puts("Discora: the start program is not built yet.");
    return 0;
}
