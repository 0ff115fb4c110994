#pragma once

#include <QString>

// "O aplikaci": the name and version of the program.
QString aboutText();
