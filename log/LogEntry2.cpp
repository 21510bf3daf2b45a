#include "log/LogEntry2.h"

#include <cstring>

#include "foundation/containers/ExtPtrArray.h"
#include "foundation/object/Allocation.h"
#include "foundation/text/StringBuffer.h"

namespace rozazar {

namespace {

constexpr char kLineEnd[] = "\r\n";

void indent(StringBuffer& out, int depth) noexcept {
  if (depth > 0) out.appendCharRun(' ', static_cast<std::size_t>(depth) * 2);
}

// A text goes into XML as it is unless it holds a line break, a tab or one of
// & < >; then it goes into a CDATA section. A text that holds both CDATA
// markers already is taken to be prepared XML and written as it is.
void appendXmlText(StringBuffer& out, const char* text) noexcept {
  const bool special = std::strpbrk(text, "\n\t&<>") != nullptr;
  const bool prepared = std::strstr(text, "<![CDATA[") != nullptr && std::strstr(text, "]]>");
  if (!special || prepared) {
    out.appendText(text);
    return;
  }
  out.appendText("<![CDATA[");
  // A "]]>" inside would end the section early: split it across two sections.
  const char* from = text;
  for (const char* end = std::strstr(from, "]]>"); end != nullptr; end = std::strstr(from, "]]>")) {
    out.appendBytes(from, static_cast<std::size_t>(end - from));
    out.appendText("]]]]><![CDATA[>");
    from = end + 3;
  }
  out.appendText(from);
  out.appendText("]]>");
}

void appendHtmlText(StringBuffer& out, const char* text) noexcept {
  StringBuffer escaped(text);
  escaped.escapeXmlEntities();
  out.appendBuffer(escaped);
}

StringBuffer* newText(const char* text) noexcept {
  return StringBuffer::createNew(text != nullptr ? text : "");
}

}  // namespace

LogEntry2::~LogEntry2() {
  if (m_children != nullptr) RozazarObject::deleteObject(m_children);
  RozazarObject::deleteObject(m_name);
  RozazarObject::deleteObject(m_value);
  m_children = nullptr;
  m_name = nullptr;
  m_value = nullptr;
  m_marker = 0;
}

LogEntry2* LogEntry2::createContext(const char* name, bool timed,
                                    std::uint32_t startTick) noexcept {
  LogEntry2* entry = newObject<LogEntry2>();
  if (entry == nullptr) return nullptr;
  entry->m_kind = kContext;
  entry->m_name = newText(name);
  entry->m_children = ExtPtrArray::createNew();
  if (entry->m_name == nullptr || entry->m_children == nullptr) {
    delete entry;
    return nullptr;
  }
  entry->m_children->setOwnsElements(true);
  if (timed) {
    entry->m_timed = 1;
    entry->m_startOrDuration = startTick;
  }
  return entry;
}

LogEntry2* LogEntry2::createEntry(char kind, const char* name, const char* value) noexcept {
  LogEntry2* entry = newObject<LogEntry2>();
  if (entry == nullptr) return nullptr;
  entry->m_kind = kind;
  entry->m_value = newText(value);
  if (name != nullptr) entry->m_name = newText(name);
  if (entry->m_value == nullptr || (name != nullptr && entry->m_name == nullptr)) {
    delete entry;
    return nullptr;
  }
  return entry;
}

const char* LogEntry2::name() const noexcept { return m_name != nullptr ? m_name->text() : ""; }

const char* LogEntry2::value() const noexcept { return m_value != nullptr ? m_value->text() : ""; }

int LogEntry2::childCount() const noexcept {
  return m_children != nullptr ? m_children->count() : 0;
}

LogEntry2* LogEntry2::childAt(int index) const noexcept {
  if (m_children == nullptr) return nullptr;
  return static_cast<LogEntry2*>(m_children->getAt(index));
}

LogEntry2* LogEntry2::lastChild() const noexcept {
  if (m_children == nullptr) return nullptr;
  return static_cast<LogEntry2*>(m_children->last());
}

bool LogEntry2::addChild(LogEntry2* child) noexcept {
  if (child == nullptr || m_children == nullptr) return false;
  if (m_children->count() >= kMaxChildren) return false;
  if (!m_children->append(child)) return false;
  child->m_placement = 's';
  return true;
}

void LogEntry2::deleteLastChild() noexcept {
  if (m_children == nullptr) return;
  RozazarObject::deleteObject(m_children->popLast());
}

void LogEntry2::finishTiming(std::uint32_t now) noexcept {
  if (m_timed == 0 || m_durationValid != 0) return;
  m_startOrDuration = now >= m_startOrDuration ? now - m_startOrDuration : 0;
  m_durationValid = 1;
}

void LogEntry2::renderText(StringBuffer& out, int depth) const noexcept {
  indent(out, depth);
  switch (m_kind) {
    case kContext: {
      out.appendText(name());
      if (durationMs() != 0) {
        out.appendChar('(');
        out.appendUInt32(durationMs());
        out.appendText("ms)");
      }
      out.appendTwo(":", kLineEnd);
      for (int i = 0; i < childCount(); ++i) {
        const LogEntry2* child = childAt(i);
        if (child != nullptr && child->isLive()) child->renderText(out, depth + 1);
      }
      indent(out, depth);
      out.appendTwo("--", name());
      break;
    }
    case kNameValue:
      out.appendTwo(name(), ": ");
      out.appendText(value());
      break;
    default:
      out.appendText(value());
      break;
  }
  out.appendText(kLineEnd);
}

void LogEntry2::renderXml(StringBuffer& out, int depth) const noexcept {
  indent(out, depth);
  switch (m_kind) {
    case kContext: {
      out.appendTwo("<", name());
      if (durationMs() != 0) {
        out.appendText(" ms=\"");
        out.appendUInt32(durationMs());
        out.appendChar('"');
      }
      out.appendTwo(">", kLineEnd);
      for (int i = 0; i < childCount(); ++i) {
        const LogEntry2* child = childAt(i);
        if (child != nullptr && child->isLive()) child->renderXml(out, depth + 1);
      }
      indent(out, depth);
      out.appendTwo("</", name());
      out.appendChar('>');
      break;
    }
    case kError:
      out.appendText("<error>");
      appendXmlText(out, value());
      out.appendText("</error>");
      break;
    case kInfo:
      out.appendText("<info>");
      appendXmlText(out, value());
      out.appendText("</info>");
      break;
    case kNameValue:
      out.appendTwo("<", name());
      out.appendChar('>');
      appendXmlText(out, value());
      out.appendTwo("</", name());
      out.appendChar('>');
      break;
    default:
      out.appendText(value());
      break;
  }
  out.appendText(kLineEnd);
}

void LogEntry2::renderHtml(StringBuffer& out) const noexcept {
  switch (m_kind) {
    case kContext: {
      appendHtmlText(out, name());
      if (durationMs() != 0) {
        out.appendChar('(');
        out.appendUInt32(durationMs());
        out.appendText("ms)");
      }
      out.appendTwo(":<blockquote>", kLineEnd);
      for (int i = 0; i < childCount(); ++i) {
        const LogEntry2* child = childAt(i);
        if (child != nullptr && child->isLive()) child->renderHtml(out);
      }
      out.appendTwo("</blockquote>", kLineEnd);
      return;
    }
    case kNameValue:
      appendHtmlText(out, name());
      out.appendText(": ");
      appendHtmlText(out, value());
      break;
    default:
      appendHtmlText(out, value());
      break;
  }
  out.appendTwo("<br>", kLineEnd);
}

}  // namespace rozazar
