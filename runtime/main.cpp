// The process entry of the game binary.
#include "runtime/kp_glfw_game.h"

int main(int argc, char** argv) {
    KpZembraGame::Main(argc, argv);
    return 0;
}
