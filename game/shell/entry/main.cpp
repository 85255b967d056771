#include "game/shell/Main.h"

int main()
{
    return Main();
}
