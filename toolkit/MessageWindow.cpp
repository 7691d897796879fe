#include "toolkit/MessageWindow.h"

MessageWindow::~MessageWindow() = default;
