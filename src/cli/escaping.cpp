#include "cli/escaping.h"

namespace ostrevane::cli {
namespace {

constexpr char16_t kHexDigits[] = u"0123456789ABCDEF";

void AppendHex(Text& out, char16_t unit, int digits) {
  for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4)
    out += kHexDigits[(unit >> shift) & 0xF];
}

}  // namespace

Text OneLine(TextView text) {
  Text out;
  out.reserve(text.size());
  for (char16_t unit : text) {
    if (unit == u'\t') {
      out += u"\\t";
    } else if (unit == u'\n') {
      out += u"\\n";
    } else if (unit == u'\r') {
      out += u"\\r";
    } else if (unit < 0x20 || unit == 0x7F || unit == 0x2028 || unit == 0x2029) {
      out += u"\\x";
      AppendHex(out, unit, unit > 0xFF ? 4 : 2);
    } else {
      out += unit;
    }
  }
  return out;
}

Text TsvField(TextView text) {
  Text out;
  out.reserve(text.size());
  for (char16_t unit : text) {
    switch (unit) {
      case u'\\':
        out += u"\\\\";
        break;
      case u'\t':
        out += u"\\t";
        break;
      case u'\n':
        out += u"\\n";
        break;
      case u'\r':
        out += u"\\r";
        break;
      default:
        out += unit;
    }
  }
  return out;
}

Text JsonString(TextView text) {
  Text out = u"\"";
  out.reserve(text.size() + 2);
  for (char16_t unit : text) {
    switch (unit) {
      case u'"':
        out += u"\\\"";
        break;
      case u'\\':
        out += u"\\\\";
        break;
      case u'\b':
        out += u"\\b";
        break;
      case u'\f':
        out += u"\\f";
        break;
      case u'\n':
        out += u"\\n";
        break;
      case u'\r':
        out += u"\\r";
        break;
      case u'\t':
        out += u"\\t";
        break;
      default:
        if (unit < 0x20 || unit > 0x7E) {
          out += u"\\u";
          AppendHex(out, unit, 4);
        } else {
          out += unit;
        }
    }
  }
  out += u'"';
  return out;
}

}  // namespace ostrevane::cli
