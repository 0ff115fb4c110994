#pragma once

#include <QString>

// One line per registered method in id order, tab-separated: id, kind number,
// title, input names joined by " | ", output names joined by " | ".
QString methodListing();
