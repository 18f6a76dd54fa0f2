#include "gui/app/program.h"

int main(int argc, char** argv) {
  return xyx::RunProgram(argc, argv);
}
