#pragma once
// The message of a logger that did not answer, naming the port it was asked
// through and the serial device behind that port, which is what the user
// checks first.

#include <QString>

// Port 1 to 4; any other number names no port.
QString NoAnswerText(int port);
