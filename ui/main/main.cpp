#include <cstdio>

int main() {
    std::fputs("Quintelle: the board is not built yet; run `make test` to exercise the game core.\n",
               stderr);
    return 1;
}
