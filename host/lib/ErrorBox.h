// The host's message boxes: no owner window, caption "Error!", the error icon.
#pragma once

#include "lang/DExceptionBase.h"

#include <string>

namespace host {

void showError(const std::u16string& text);
// "<prefix> - unhadled exception 0x<code>!\n<class name>", and for the run also
// "\r\n<message>".
std::u16string unhandledExceptionText(const char* prefix, const qev::lang::DExceptionBase& e,
                                      bool withMessage);
// "<class name>\r\n<message>": what failed, for a box that says what it means.
std::u16string exceptionDescription(const qev::lang::DExceptionBase& e);
// "pallasterhorn: <class name>: <message>" on the error output.
void reportToStderr(const qev::lang::DExceptionBase& e);

} // namespace host
