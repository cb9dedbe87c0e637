#include "ErrorBox.h"

#include "platform/windows.h"

#include <cstdio>

namespace host {

void showError(const std::u16string& text)
{
    MessageBoxW(nullptr, text.c_str(), u"Error!", MB_ICONERROR);
}

std::u16string unhandledExceptionText(const char* prefix, const qev::lang::DExceptionBase& e,
                                      bool withMessage)
{
    char head[96];
    std::snprintf(head, sizeof head, "%s - unhadled exception 0x%x!\n", prefix,
                  static_cast<unsigned>(e.code));
    std::u16string text(head, head + std::char_traits<char>::length(head));
    text += qev::lang::getExceptionName(e.code);
    if (withMessage) {
        text += u"\r\n";
        for (size_t i = 0; i < qev::lang::DExceptionBase::kMessageUnits && e.message[i]; ++i)
            text += e.message[i];
    }
    return text;
}

} // namespace host
