#include "rc_dialog_reader.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <set>

namespace rcscript {
namespace {

struct Token {
  enum Kind { Word, String, Comma, Bar } kind;
  std::string text;
  int line;
};

bool IsWordChar(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '-' || c == '.';
}

// Splits the script into words, strings, commas and bars; comments and
// preprocessor lines are dropped, and braces read as BEGIN and END.
bool Tokenise(std::string_view s, std::vector<Token>* tokens, std::string* error) {
  int line = 1;
  bool lineStart = true;
  for (size_t i = 0; i < s.size();) {
    const char c = s[i];
    if (c == '\n') {
      ++line;
      lineStart = true;
      ++i;
    } else if (std::isspace(static_cast<unsigned char>(c))) {
      ++i;
    } else if (c == '#' && lineStart) {
      while (i < s.size() && s[i] != '\n') ++i;
    } else if (s.substr(i, 2) == "//") {
      while (i < s.size() && s[i] != '\n') ++i;
    } else if (s.substr(i, 2) == "/*") {
      const size_t end = s.find("*/", i + 2);
      if (end == std::string_view::npos) {
        *error = "line " + std::to_string(line) + ": comment without an end";
        return false;
      }
      line += static_cast<int>(std::count(s.begin() + i, s.begin() + end, '\n'));
      i = end + 2;
    } else if (c == '"') {
      const int start = line;
      std::string text;
      for (++i;; ++i) {
        if (i >= s.size() || s[i] == '\n') {
          *error = "line " + std::to_string(start) + ": string without a closing quote";
          return false;
        }
        if (s[i] == '"') {
          if (i + 1 < s.size() && s[i + 1] == '"') {
            text += '"';
            ++i;
            continue;
          }
          ++i;
          break;
        }
        if (s[i] == '\\' && i + 1 < s.size()) {
          const char e = s[++i];
          text += e == 'n' ? '\n' : e == 't' ? '\t' : e == 'r' ? '\r' : e;
          continue;
        }
        text += s[i];
      }
      tokens->push_back({Token::String, std::move(text), start});
    } else if (c == ',' || c == '|') {
      tokens->push_back({c == ',' ? Token::Comma : Token::Bar, std::string(1, c), line});
      ++i;
    } else if (c == '{' || c == '}') {
      tokens->push_back({Token::Word, c == '{' ? "BEGIN" : "END", line});
      ++i;
    } else if (IsWordChar(c)) {
      const size_t start = i;
      while (i < s.size() && IsWordChar(s[i])) ++i;
      tokens->push_back({Token::Word, std::string(s.substr(start, i - start)), line});
    } else {
      *error = "line " + std::to_string(line) + ": unexpected character '" + std::string(1, c) + "'";
      return false;
    }
    if (c != '\n' && !std::isspace(static_cast<unsigned char>(c))) lineStart = false;
  }
  return true;
}

class Reader {
 public:
  Reader(std::vector<Token> tokens, std::string* error) : t_(std::move(tokens)), error_(error) {}

  std::optional<RcDialog> Dialog(std::string_view id) {
    for (pos_ = 0; pos_ + 1 < t_.size(); ++pos_) {
      if (t_[pos_].kind == Token::Word && t_[pos_].text == id && t_[pos_ + 1].kind == Token::Word &&
          (t_[pos_ + 1].text == "DIALOGEX" || t_[pos_ + 1].text == "DIALOG")) {
        RcDialog dialog;
        dialog.id = std::string(id);
        pos_ += 2;
        if (ReadDialog(&dialog)) return dialog;
        return std::nullopt;
      }
    }
    *error_ = "no dialog " + std::string(id) + " in the script";
    return std::nullopt;
  }

 private:
  bool ReadDialog(RcDialog* d) {
    if (!Rect(&d->x, &d->y, &d->width, &d->height)) return false;
    if (Next(Token::Comma) && !Word()) return false;  // DIALOGEX's help id
    for (;;) {
      std::string keyword;
      if (!Word(&keyword)) return false;
      if (keyword == "BEGIN") break;
      if (keyword == "STYLE" || keyword == "EXSTYLE") {
        std::vector<std::string> dropped;
        if (!Styles(keyword == "STYLE" ? &d->styles : &dropped, &dropped)) return false;
      } else if (keyword == "CAPTION") {
        if (!String(&d->caption)) return false;
      } else if (keyword == "FONT") {
        if (!Number(&d->fontPoints) || !Comma() || !String(&d->fontName)) return false;
        while (Next(Token::Comma))  // weight, italic, character set
          if (!Word()) return false;
      } else if (keyword == "MENU" || keyword == "CLASS" || keyword == "CHARACTERISTICS" ||
                 keyword == "VERSION") {
        if (!Value()) return false;
      } else if (keyword == "LANGUAGE") {
        if (!Word() || !Comma() || !Word()) return false;
      } else {
        return Fail("'" + keyword + "' is not a dialog statement");
      }
    }
    for (;;) {
      std::string statement;
      if (!Word(&statement)) return false;
      if (statement == "END") return true;
      RcControl c;
      c.statement = statement;
      if (!Control(&c)) return false;
      d->controls.push_back(std::move(c));
    }
  }

  bool Control(RcControl* c) {
    static const std::set<std::string, std::less<>> kWithText = {
        "LTEXT", "RTEXT", "CTEXT", "GROUPBOX", "PUSHBUTTON", "DEFPUSHBUTTON", "PUSHBOX",
        "CHECKBOX", "AUTOCHECKBOX", "RADIOBUTTON", "AUTORADIOBUTTON", "STATE3", "AUTO3STATE"};
    static const std::set<std::string, std::less<>> kWithoutText = {"EDITTEXT", "LISTBOX",
                                                                    "COMBOBOX", "SCROLLBAR"};
    const std::string& s = c->statement;
    if (s == "CONTROL") {
      if (!Value(&c->text) || !Comma() || !Word(&c->id) || !Comma() || !Value(&c->windowClass) ||
          !Comma() || !Styles(&c->styles, &c->notStyles) || !Comma() ||
          !Rect(&c->x, &c->y, &c->width, &c->height))
        return false;
      return Extended();
    }
    if (kWithText.count(s) != 0) {
      if (!String(&c->text) || !Comma()) return false;
    } else if (kWithoutText.count(s) == 0) {
      return Fail("'" + s + "' is not a control statement");
    }
    if (!Word(&c->id) || !Comma() || !Rect(&c->x, &c->y, &c->width, &c->height)) return false;
    if (Next(Token::Comma) && !Styles(&c->styles, &c->notStyles)) return false;
    return Extended();
  }

  // An extended style and a help id may follow; neither matters here.
  bool Extended() {
    std::vector<std::string> ignored;
    while (Next(Token::Comma))
      if (!Styles(&ignored, &ignored)) return false;
    return true;
  }

  // name | name | NOT name ...
  bool Styles(std::vector<std::string>* styles, std::vector<std::string>* notStyles) {
    do {
      std::string name;
      if (!Word(&name)) return false;
      if (name == "NOT") {
        if (!Word(&name)) return false;
        notStyles->push_back(name);
      } else {
        styles->push_back(name);
      }
    } while (Next(Token::Bar));
    return true;
  }

  bool Rect(int* x, int* y, int* w, int* h) {
    return Number(x) && Comma() && Number(y) && Comma() && Number(w) && Comma() && Number(h);
  }

  bool Number(int* value) {
    const size_t at = pos_;
    std::string word;
    if (!Word(&word)) return false;
    const char* end = word.data() + word.size();
    const auto [ptr, ec] = std::from_chars(word.data(), end, *value);
    if (ec != std::errc() || ptr != end) return FailAt(at, "'" + word + "' is not a number");
    return true;
  }

  bool Next(Token::Kind kind) {
    if (pos_ < t_.size() && t_[pos_].kind == kind) {
      ++pos_;
      return true;
    }
    return false;
  }
  bool Expect(Token::Kind kind, const char* what, std::string* text) {
    if (pos_ >= t_.size()) return Fail(std::string("the script ends where ") + what + " belongs");
    if (t_[pos_].kind != kind) return Fail(std::string("expected ") + what);
    if (text) *text = t_[pos_].text;
    ++pos_;
    return true;
  }
  bool Comma() { return Expect(Token::Comma, "a comma", nullptr); }
  bool Word(std::string* text = nullptr) { return Expect(Token::Word, "a name or number", text); }
  bool String(std::string* text) { return Expect(Token::String, "a quoted string", text); }
  bool Value(std::string* text = nullptr) {
    if (pos_ < t_.size() && t_[pos_].kind == Token::String) return String(text);
    return Word(text);
  }

  bool Fail(const std::string& what) { return FailAt(pos_, what); }
  bool FailAt(size_t at, const std::string& what) {
    *error_ = t_.empty() ? what
                         : "line " + std::to_string(t_[std::min(at, t_.size() - 1)].line) + ": " + what;
    return false;
  }

  std::vector<Token> t_;
  std::string* error_;
  size_t pos_ = 0;
};

}  // namespace

bool RcControl::Has(std::string_view style) const {
  return std::find(styles.begin(), styles.end(), style) != styles.end();
}

bool RcControl::Drops(std::string_view style) const {
  return std::find(notStyles.begin(), notStyles.end(), style) != notStyles.end();
}

std::optional<RcDialog> ReadRcDialog(std::string_view script, std::string_view id,
                                     std::string* error) {
  std::vector<Token> tokens;
  if (!Tokenise(script, &tokens, error)) return std::nullopt;
  return Reader(std::move(tokens), error).Dialog(id);
}

}  // namespace rcscript
