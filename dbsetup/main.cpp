#include <cstdio>

int main() {
    std::puts("dbsetup: the database server installer is not built yet.");
    return 1;
}
