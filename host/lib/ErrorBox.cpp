#include "ErrorBox.h"

#include "platform/text.h"
#include "platform/windows.h"

#include <cstdio>
#include <string>

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

void reportToStderr(const qev::lang::DExceptionBase& e)
{
    std::string text;
    platform::utf16ToUtf8(qev::lang::getExceptionName(e.code), text);
    text += ": ";
    std::u16string message;
    for (size_t i = 0; i < qev::lang::DExceptionBase::kMessageUnits && e.message[i]; ++i)
        message += e.message[i];
    std::string utf8;
    platform::utf16ToUtf8(message.c_str(), utf8);
    std::fprintf(stderr, "pallasterhorn: %s%s\n", text.c_str(), utf8.c_str());
}

} // namespace host
