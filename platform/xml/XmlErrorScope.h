// Routes libxml2's messages on this thread into a text of our own while a
// call into libxml2 runs, so that nothing reaches stderr.
#pragma once

#include <string>

#include <libxml/xmlerror.h>

class XmlErrorScope {
public:
    // Starts collecting this thread's libxml2 messages into sink.
    explicit XmlErrorScope(std::string& sink);
    // Gives the thread's previous handlers back.
    ~XmlErrorScope();

    XmlErrorScope(const XmlErrorScope&) = delete;
    XmlErrorScope& operator=(const XmlErrorScope&) = delete;

    // Appends one message to a sink, keeping the sink to a bounded size.
    static void append(std::string& sink, const char* message);

private:
    xmlGenericErrorFunc oldGeneric_;
    void* oldGenericContext_;
    xmlStructuredErrorFunc oldStructured_;
    void* oldStructuredContext_;
};
