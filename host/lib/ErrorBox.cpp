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
    if (withMessage)
        return text + exceptionDescription(e);
    return text + qev::lang::getExceptionName(e.code);
}

std::u16string exceptionDescription(const qev::lang::DExceptionBase& e)
{
    std::u16string text = qev::lang::getExceptionName(e.code);
    text += u"\r\n";
    text += e.text();
    return text;
}

void reportToStderr(const qev::lang::DExceptionBase& e)
{
    std::string text;
    platform::utf16ToUtf8(qev::lang::getExceptionName(e.code), text);
    text += ": ";
    const std::u16string message(e.text());
    std::string utf8;
    platform::utf16ToUtf8(message.c_str(), utf8);
    std::fprintf(stderr, "pallasterhorn: %s%s\n", text.c_str(), utf8.c_str());
}

} // namespace host
