#include "app/FormMain.h"
#include "app/TSonarvexApplication.h"

int main(int argc, char** argv) {
  TSonarvexApplication app(argc, argv);
  TfrmMain window;
  window.show();
  return TSonarvexApplication::exec();
}
