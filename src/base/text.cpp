#include "base/text.h"

#include <atomic>

namespace ostrevane {
namespace {

std::atomic<CaseMapping> g_mapping{&PortableLower};
std::atomic<SortKeyMapping> g_sort_key{&PortableSortKey};

}  // namespace

char16_t PortableLower(char16_t c) {
  if (c < 0x80) return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 32) : c;
  // Latin-1: À-Þ except the multiplication sign.
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<char16_t>(c + 32);
  // Latin Extended-A: upper and lower case alternate in pairs, with two
  // stretches where the upper case sits on the odd code point.
  if (c >= 0x100 && c <= 0x17F) {
    if (c == 0x130) return u'i';
    if (c == 0x178) return 0xFF;
    if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E)) {
      return (c % 2 == 1) ? static_cast<char16_t>(c + 1) : c;
    }
    if (c == 0x138 || c == 0x149 || c == 0x17F) return c;
    return (c % 2 == 0) ? static_cast<char16_t>(c + 1) : c;
  }
  // Greek.
  if (c == 0x386) return 0x3AC;
  if (c >= 0x388 && c <= 0x38A) return static_cast<char16_t>(c + 37);
  if (c == 0x38C) return 0x3CC;
  if (c == 0x38E || c == 0x38F) return static_cast<char16_t>(c + 63);
  if (c >= 0x391 && c <= 0x3AB && c != 0x3A2) return static_cast<char16_t>(c + 32);
  // Cyrillic.
  if (c >= 0x400 && c <= 0x40F) return static_cast<char16_t>(c + 80);
  if (c >= 0x410 && c <= 0x42F) return static_cast<char16_t>(c + 32);
  if (c >= 0x460 && c <= 0x4FF) {
    const bool paired = (c <= 0x481) || (c >= 0x48A && c <= 0x4BF) || (c >= 0x4D0);
    if (paired) return (c % 2 == 0) ? static_cast<char16_t>(c + 1) : c;
    if (c == 0x4C0) return 0x4CF;
    if (c >= 0x4C1 && c <= 0x4CE) return (c % 2 == 1) ? static_cast<char16_t>(c + 1) : c;
  }
  return c;
}

CaseMapping ActiveCaseMapping() { return g_mapping.load(std::memory_order_relaxed); }

void SetCaseMapping(CaseMapping mapping) {
  g_mapping.store(mapping ? mapping : &PortableLower, std::memory_order_relaxed);
}

Text Lower(TextView text) {
  const CaseMapping map = ActiveCaseMapping();
  Text out(text);
  for (char16_t& unit : out) unit = map(unit);
  return out;
}

void PortableSortKey(TextView text, std::string& out) {
  const CaseMapping map = ActiveCaseMapping();
  for (char16_t unit : text) {
    const char16_t lower = map(unit);
    out += static_cast<char>(lower >> 8);
    out += static_cast<char>(lower & 0xFF);
  }
}

SortKeyMapping ActiveSortKey() { return g_sort_key.load(std::memory_order_relaxed); }

void SetSortKeyMapping(SortKeyMapping mapping) {
  g_sort_key.store(mapping ? mapping : &PortableSortKey, std::memory_order_relaxed);
}

TextView FolderPart(TextView path) {
  const std::size_t separator = path.find_last_of(u"\\/");
  return separator == TextView::npos ? TextView() : path.substr(0, separator);
}

TextView NamePart(TextView path) {
  const std::size_t separator = path.find_last_of(u"\\/");
  return separator == TextView::npos ? path : path.substr(separator + 1);
}

Text DecimalText(long long number) {
  const std::string digits = std::to_string(number);
  return Text(digits.begin(), digits.end());
}

std::string ToUtf8(TextView text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t cp = text[i];
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    } else if (cp >= 0xD800 && cp <= 0xDFFF) {
      cp = 0xFFFD;
    }
    if (cp < 0x80) {
      out += static_cast<char>(cp);
    } else if (cp < 0x800) {
      out += static_cast<char>(0xC0 | (cp >> 6));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
      out += static_cast<char>(0xE0 | (cp >> 12));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (cp >> 18));
      out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    }
  }
  return out;
}

Text FromUtf8(std::string_view s) {
  Text out;
  out.reserve(s.size());
  std::size_t i = 0;
  while (i < s.size()) {
    const unsigned char lead = static_cast<unsigned char>(s[i]);
    int extra = 0;
    char32_t cp = 0xFFFD;
    if (lead < 0x80) {
      cp = lead;
    } else if ((lead & 0xE0) == 0xC0) {
      extra = 1;
      cp = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
      extra = 2;
      cp = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
      extra = 3;
      cp = lead & 0x07;
    }
    ++i;
    for (int k = 0; k < extra; ++k) {
      if (i >= s.size() || (static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) {
        cp = 0xFFFD;
        break;
      }
      cp = (cp << 6) | (static_cast<unsigned char>(s[i]) & 0x3F);
      ++i;
    }
    if (cp >= 0x10000 && cp <= 0x10FFFF) {
      cp -= 0x10000;
      out += static_cast<char16_t>(0xD800 + (cp >> 10));
      out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
    } else {
      out += static_cast<char16_t>(cp > 0x10FFFF ? 0xFFFD : cp);
    }
  }
  return out;
}

}  // namespace ostrevane
