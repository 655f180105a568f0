#include "console_rules/escaping.h"

namespace ostrevane::console {
namespace {

constexpr char16_t kHexDigits[] = u"0123456789ABCDEF";

void AppendHex(Text& out, char16_t unit, int digits) {
  for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4)
    out += kHexDigits[(unit >> shift) & 0xF];
}

// The escape of the common control characters, or none.
const char16_t* ControlEscape(char16_t unit) {
  switch (unit) {
    case u'\t':
      return u"\\t";
    case u'\n':
      return u"\\n";
    case u'\r':
      return u"\\r";
    default:
      return nullptr;
  }
}

// `text` with each unit that `escape` writes otherwise written its way.
template <typename Escape>
Text Escaped(TextView text, Escape&& escape) {
  Text out;
  out.reserve(text.size());
  for (char16_t unit : text) {
    if (!escape(out, unit)) out += unit;
  }
  return out;
}

}  // namespace

Text OneLine(TextView text) {
  return Escaped(text, [](Text& out, char16_t unit) {
    if (const char16_t* escape = ControlEscape(unit)) {
      out += escape;
    } else if (unit < 0x20 || unit == 0x7F || unit == 0x2028 || unit == 0x2029) {
      out += u"\\x";
      AppendHex(out, unit, unit > 0xFF ? 4 : 2);
    } else {
      return false;
    }
    return true;
  });
}

Text TsvField(TextView text) {
  return Escaped(text, [](Text& out, char16_t unit) {
    const char16_t* escape = unit == u'\\' ? u"\\\\" : ControlEscape(unit);
    if (escape) out += escape;
    return escape != nullptr;
  });
}

Text JsonString(TextView text) {
  return u"\"" +
         Escaped(text,
                 [](Text& out, char16_t unit) {
                   if (unit == u'"' || unit == u'\\') {
                     out += u'\\';
                     out += unit;
                   } else if (unit < 0x20 || unit > 0x7E) {
                     out += u"\\u";
                     AppendHex(out, unit, 4);
                   } else {
                     return false;
                   }
                   return true;
                 }) +
         u"\"";
}

}  // namespace ostrevane::console
