// The system clipboard, as plain text.
#pragma once

#include <QString>

namespace nv::forms::clipboard {

void clear();
void setText(const QString &text);
QString text();

} // namespace nv::forms::clipboard
