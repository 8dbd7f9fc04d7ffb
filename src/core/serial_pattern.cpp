#include "core/serial_pattern.hpp"

#include <algorithm>
#include <array>
#include <vector>

namespace orvella {

namespace {

enum class Kind { Zero, Hash, Point, Comma, Percent, Literal };

struct Token {
  Kind kind;
  std::u16string text;  // for Literal (and a Comma that stays text)
};

// Splits a pattern into sections at ';' outside quotes and escapes.
std::vector<std::u16string_view> sections(std::u16string_view pattern) {
  std::vector<std::u16string_view> out;
  std::size_t start = 0;
  char16_t quote = 0;
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    const char16_t c = pattern[i];
    if (quote) {
      if (c == quote) quote = 0;
    } else if (c == u'\\') {
      ++i;
    } else if (c == u'"' || c == u'\'') {
      quote = c;
    } else if (c == u';') {
      out.push_back(pattern.substr(start, i - start));
      start = i + 1;
    }
  }
  out.push_back(pattern.substr(std::min(start, pattern.size())));
  return out;
}

std::vector<Token> tokens(std::u16string_view section) {
  std::vector<Token> out;
  const auto literal = [&](std::u16string_view text) {
    if (!out.empty() && out.back().kind == Kind::Literal) {
      out.back().text.append(text);
    } else {
      out.push_back({Kind::Literal, std::u16string(text)});
    }
  };
  bool seenPoint = false;
  for (std::size_t i = 0; i < section.size(); ++i) {
    const char16_t c = section[i];
    switch (c) {
      case u'0':
        out.push_back({Kind::Zero, {}});
        break;
      case u'#':
        out.push_back({Kind::Hash, {}});
        break;
      case u',':
        out.push_back({Kind::Comma, u","});
        break;
      case u'%':
        out.push_back({Kind::Percent, u"%"});
        break;
      case u'.':
        if (seenPoint) {
          literal(u".");
        } else {
          seenPoint = true;
          out.push_back({Kind::Point, u"."});
        }
        break;
      case u'\\':
        if (i + 1 < section.size()) literal(section.substr(++i, 1));
        break;
      case u'"':
      case u'\'': {
        const std::size_t end = section.find(c, i + 1);
        const std::size_t stop = end == std::u16string_view::npos ? section.size() : end;
        literal(section.substr(i + 1, stop - i - 1));
        i = stop;
        break;
      }
      default:
        literal(section.substr(i, 1));
        break;
    }
  }
  return out;
}

bool isDigit(const Token& t) { return t.kind == Kind::Zero || t.kind == Kind::Hash; }

std::u16string plainDigits(unsigned long long n) {
  std::u16string digits;
  do {
    digits.insert(digits.begin(), static_cast<char16_t>(u'0' + n % 10));
    n /= 10;
  } while (n > 0);
  return digits;
}

// The point, or the end when there is none: what stands before it is the whole part.
template <typename Tokens>
auto pointOf(Tokens& toks) {
  return std::find_if(toks.begin(), toks.end(), [](const Token& t) { return t.kind == Kind::Point; });
}

// A comma between two digit positions of the whole part asks for grouping and is not shown;
// any other comma is text. True when the pattern groups.
bool settleCommas(std::vector<Token>& toks) {
  const auto wholeEnd = pointOf(toks);
  bool grouping = false;
  for (auto it = toks.begin(); it != wholeEnd; ++it) {
    if (it->kind != Kind::Comma) continue;
    const bool digitBefore = std::any_of(toks.begin(), it, isDigit);
    const bool digitAfter = std::any_of(it + 1, wholeEnd, isDigit);
    if (digitBefore && digitAfter) {
      grouping = true;
      it->kind = Kind::Literal;
      it->text.clear();
    } else {
      it->kind = Kind::Literal;
    }
  }
  for (auto it = wholeEnd; it != toks.end(); ++it) {
    if (it->kind == Kind::Comma) it->kind = Kind::Literal;
  }
  return grouping;
}

// The digits the whole part shows: zero only where a '0' position asks for it, and every
// position right of the leftmost '0' filled.
std::u16string wholeDigits(unsigned long long magnitude, const std::vector<Token>& toks) {
  std::u16string digits;
  if (magnitude > 0) {
    digits = plainDigits(magnitude);
    const auto percents =
        std::count_if(toks.begin(), toks.end(), [](const Token& t) { return t.kind == Kind::Percent; });
    digits.append(static_cast<std::size_t>(percents) * 2, u'0');
  }
  const auto wholeEnd = pointOf(toks);
  std::size_t forced = 0;
  for (auto it = toks.begin(); it != wholeEnd; ++it) {
    if (!isDigit(*it)) continue;
    if (it->kind == Kind::Zero && forced == 0)
      forced = 1;
    else if (forced > 0)
      ++forced;
  }
  if (digits.size() < forced) digits.insert(0, forced - digits.size(), u'0');
  return digits;
}

// The whole part is built from its right end; the leftmost position takes what is left.
std::u16string wholePart(const std::vector<Token>& toks, const std::u16string& digits, bool grouping) {
  const auto wholeEnd = pointOf(toks);
  const auto positions = static_cast<std::size_t>(std::count_if(toks.begin(), wholeEnd, isDigit));
  std::u16string whole;  // reversed
  std::size_t taken = 0;
  const auto put = [&](char16_t d) {
    if (grouping && taken > 0 && taken % 3 == 0) whole += u',';
    whole += d;
    ++taken;
  };
  std::size_t seen = 0;
  for (auto it = wholeEnd; it != toks.begin();) {
    --it;
    if (!isDigit(*it)) {
      whole.append(it->text.rbegin(), it->text.rend());
      continue;
    }
    ++seen;
    if (seen < positions) {
      if (taken < digits.size()) put(digits[digits.size() - 1 - taken]);
    } else {
      while (taken < digits.size()) put(digits[digits.size() - 1 - taken]);
    }
  }
  // No whole positions (".000"): the whole digits stand just before the point.
  if (positions == 0) whole.insert(0, std::u16string(digits.rbegin(), digits.rend()));
  return {whole.rbegin(), whole.rend()};
}

std::u16string formatSection(unsigned long long magnitude, std::vector<Token> toks) {
  const bool grouping = settleCommas(toks);
  const auto point = pointOf(toks);
  if (point == toks.end() && std::none_of(toks.begin(), toks.end(), isDigit)) {
    std::u16string text;
    for (const Token& t : toks) text += t.text;
    return text;
  }
  std::u16string out = wholePart(toks, wholeDigits(magnitude, toks), grouping);
  for (auto it = point; it != toks.end(); ++it) {
    if (it->kind == Kind::Zero) {
      out += u'0';
    } else if (it->kind != Kind::Hash) {
      out += it->text;
    }
  }
  return out;
}

}  // namespace

std::u16string formatWholeNumber(long long number, std::u16string_view pattern) {
  const unsigned long long magnitude =
      number < 0 ? 0ULL - static_cast<unsigned long long>(number) : static_cast<unsigned long long>(number);
  if (pattern.empty()) return (number < 0 ? u"-" : u"") + plainDigits(magnitude);

  const std::vector<std::u16string_view> parts = sections(pattern);
  const auto render = [&](std::u16string_view section) {
    return section.empty() ? plainDigits(magnitude) : formatSection(magnitude, tokens(section));
  };
  if (number == 0 && parts.size() >= 3 && !parts[2].empty()) return render(parts[2]);
  if (number < 0) {
    if (parts.size() >= 2 && !parts[1].empty()) return render(parts[1]);
    return u"-" + render(parts[0]);
  }
  return render(parts[0]);
}

}  // namespace orvella
