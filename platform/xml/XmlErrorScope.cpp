// Collects libxml2's messages instead of letting them go to stderr.
#include "platform/xml/XmlErrorScope.h"

#include <cstdarg>
#include <cstdio>
#include <string_view>

#include <libxml/globals.h>
#include <libxml/parser.h>

namespace {

// A malformed input can produce a message per line; keep the first ones.
constexpr size_t kMaxCollected = 16 * 1024;

void genericHandler(void* context, const char* format, ...)
{
    char text[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    XmlErrorScope::append(*static_cast<std::string*>(context), text);
}

void structuredHandler(void* context, xmlErrorPtr error)
{
    if (error != nullptr && error->message != nullptr)
        XmlErrorScope::append(*static_cast<std::string*>(context), error->message);
}

}

XmlErrorScope::XmlErrorScope(std::string& sink)
{
    xmlInitParser();
    oldGeneric_ = xmlGenericError;
    oldGenericContext_ = xmlGenericErrorContext;
    oldStructured_ = xmlStructuredError;
    oldStructuredContext_ = xmlStructuredErrorContext;
    xmlSetGenericErrorFunc(&sink, genericHandler);
    xmlSetStructuredErrorFunc(&sink, structuredHandler);
}

XmlErrorScope::~XmlErrorScope()
{
    xmlSetStructuredErrorFunc(oldStructuredContext_, oldStructured_);
    xmlSetGenericErrorFunc(oldGenericContext_, oldGeneric_);
}

void XmlErrorScope::append(std::string& sink, const char* message)
{
    if (sink.size() < kMaxCollected)
        sink += std::string_view(message).substr(0, kMaxCollected - sink.size());
}
