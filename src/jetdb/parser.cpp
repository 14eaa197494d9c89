#include "parser.h"

#include "errors.h"
#include "functions.h"
#include "lexer.h"
#include "jetdb/sql_text.h"
#include "jetdb/text.h"

namespace jetdb {
namespace {

class Parser {
 public:
  Parser(std::string_view sql, ParseNotes* notes) : sql_(sql), tokens_(tokenize(sql)), notes_(notes) {}

  bool statement(Statement& out, Error& error) {
    bool ok = statementBody(out);
    if (ok) {
      accept(";");
      if (peek().kind != Token::Kind::End) ok = fail();
    }
    if (!ok) error = error_;
    return ok;
  }

 private:
  using K = Token::Kind;

  const Token& peek(std::size_t ahead = 0) const {
    std::size_t i = pos_ + ahead;
    return i < tokens_.size() ? tokens_[i] : tokens_.back();
  }
  const Token& take() {
    const Token& t = peek();
    if (pos_ < tokens_.size() - 1) ++pos_;
    return t;
  }
  bool isWord(const char* w, std::size_t ahead = 0) const {
    const Token& t = peek(ahead);
    return t.kind == K::Word && sameName(t.text, w);
  }
  bool isSymbol(const char* s) const { return peek().kind == K::Symbol && peek().text == s; }
  bool accept(const char* s) {
    if (isSymbol(s)) { take(); return true; }
    return false;
  }
  bool acceptWord(const char* w) {
    if (isWord(w)) { take(); return true; }
    return false;
  }
  bool expect(const char* s) { return accept(s) || fail(); }
  bool expectWord(const char* w) { return acceptWord(w) || fail(); }

  bool fail() {
    if (!failed_) {
      failed_ = true;
      error_ = errors::syntax(context_);
    }
    return false;
  }
  bool failExpression(std::size_t from) {
    if (!failed_) {
      failed_ = true;
      std::size_t to = peek().offset;
      if (to <= from) to = sql_.size();
      std::string_view text = sql_.substr(from, std::min<std::size_t>(to - from + 20, 120));
      error_ = errors::syntaxInExpression(text);
    }
    return false;
  }

  bool name(std::string& out) {
    const Token& t = peek();
    if (t.kind == K::Name || t.kind == K::Word) {
      if (t.text.empty()) return fail();
      out = take().text;
      return true;
    }
    return fail();
  }
  bool nameList(std::vector<std::string>& out) {
    if (!expect("(")) return false;
    do {
      std::string n;
      if (!name(n)) return false;
      if (acceptWord("ASC") || acceptWord("DESC")) {}
      out.push_back(std::move(n));
    } while (accept(","));
    return expect(")");
  }

  bool statementBody(Statement& out) {
    if (acceptWord("CREATE")) {
      if (acceptWord("TABLE")) { context_ = "l'instruction CREATE TABLE"; return createTable(out); }
      if (acceptWord("VIEW")) { context_ = "l'instruction CREATE VIEW"; return createView(out); }
      context_ = "l'instruction CREATE INDEX";
      bool unique = acceptWord("UNIQUE");
      if (!expectWord("INDEX")) return false;
      return createIndex(out, unique);
    }
    if (acceptWord("DROP")) {
      context_ = "l'instruction DROP";
      if (acceptWord("TABLE")) {
        DropTable d;
        if (!name(d.table)) return false;
        out = std::move(d);
        return true;
      }
      if (acceptWord("VIEW")) {
        DropView d;
        if (!name(d.name)) return false;
        out = std::move(d);
        return true;
      }
      if (!expectWord("INDEX")) return false;
      DropIndex d;
      if (!name(d.name) || !expectWord("ON") || !name(d.table)) return false;
      out = std::move(d);
      return true;
    }
    if (acceptWord("ALTER")) {
      context_ = "l'instruction ALTER TABLE";
      if (!expectWord("TABLE")) return false;
      return alterTable(out);
    }
    if (isWord("SELECT") || (isSymbol("(") && startsSelect())) {
      context_ = "l'instruction SELECT";
      auto s = std::make_unique<Select>();
      if (!select(*s)) return false;
      out = std::move(*s);
      return true;
    }
    if (acceptWord("INSERT")) { context_ = "l'instruction INSERT INTO"; return insert(out); }
    if (acceptWord("UPDATE")) { context_ = "l'instruction UPDATE"; return update(out); }
    if (acceptWord("DELETE")) { context_ = "l'instruction DELETE"; return remove(out); }
    failed_ = true;
    error_ = errors::badStatement();
    return false;
  }

  bool columnType(ColumnDef& c) {
    const Token& t = peek();
    if (t.kind != K::Word) return fail();
    std::string word = take().text;
    // A size; a precision and a scale; a seed and an increment.
    std::vector<std::int64_t> args;
    if (accept("(")) {
      do {
        const bool minus = accept("-");
        const Token& n = peek();
        if (n.kind != K::Integer || n.integer > 100000000000LL || args.size() == 2) return fail();
        args.push_back(minus ? -take().integer : take().integer);
      } while (accept(","));
      if (!expect(")")) return false;
    }
    auto ct = typeFromName(word, args);
    if (!ct) {
      failed_ = true;
      error_ = makeError("42000", 3292, "Erreur de syntaxe dans la définition du champ " + c.name + ".");
      return false;
    }
    c.type = *ct;
    return true;
  }

  // The constraint words after CONSTRAINT name (or without a name) attached
  // to one column.
  bool columnConstraint(ColumnDef& c, std::string cname) {
    ConstraintDef k;
    k.name = std::move(cname);
    k.columns.push_back(c.name);
    if (acceptWord("PRIMARY")) {
      if (!expectWord("KEY")) return false;
      k.kind = ConstraintDef::Kind::PrimaryKey;
    } else if (acceptWord("UNIQUE")) {
      k.kind = ConstraintDef::Kind::Unique;
    } else if (acceptWord("NOT")) {
      if (!expectWord("NULL")) return false;
      c.notNull = true;
      if (k.name.empty()) return true;
      k.kind = ConstraintDef::Kind::NotNull;
    } else if (acceptWord("REFERENCES")) {
      k.kind = ConstraintDef::Kind::ForeignKey;
      if (!name(k.refTable)) return false;
      if (isSymbol("(") && !nameList(k.refColumns)) return false;
    } else {
      return fail();
    }
    c.constraints.push_back(std::move(k));
    return true;
  }

  bool columnDef(ColumnDef& c, bool allowConstraints) {
    if (!name(c.name) || !columnType(c)) return false;
    while (allowConstraints) {
      if (acceptWord("CONSTRAINT")) {
        std::string cname;
        if (!name(cname) || !columnConstraint(c, cname)) return false;
      } else if (isWord("PRIMARY") || isWord("UNIQUE") || isWord("REFERENCES") || isWord("NOT")) {
        if (!columnConstraint(c, "")) return false;
      } else if (acceptWord("NULL")) {
      } else if (acceptWord("DEFAULT")) {
        ExprPtr e = expression();
        if (!e) return false;
        c.defaultText = e->source.substr(0, e->source.find_last_not_of(" \t\r\n") + 1);
      } else {
        break;
      }
    }
    return true;
  }

  bool tableConstraint(ConstraintDef& k) {
    if (acceptWord("CONSTRAINT") && !name(k.name)) return false;
    if (acceptWord("PRIMARY")) {
      if (!expectWord("KEY")) return false;
      k.kind = ConstraintDef::Kind::PrimaryKey;
      return nameList(k.columns);
    }
    if (acceptWord("UNIQUE")) {
      k.kind = ConstraintDef::Kind::Unique;
      return nameList(k.columns);
    }
    if (acceptWord("FOREIGN")) {
      k.kind = ConstraintDef::Kind::ForeignKey;
      if (!expectWord("KEY") || !nameList(k.columns) || !expectWord("REFERENCES") || !name(k.refTable)) return false;
      if (isSymbol("(")) return nameList(k.refColumns);
      return true;
    }
    return fail();
  }

  bool createTable(Statement& out) {
    CreateTable ct;
    if (!name(ct.table) || !expect("(")) return false;
    do {
      if (isWord("CONSTRAINT") || isWord("PRIMARY") || (isWord("UNIQUE") && peek(1).kind == K::Symbol) ||
          isWord("FOREIGN")) {
        ConstraintDef k;
        if (!tableConstraint(k)) return false;
        ct.constraints.push_back(std::move(k));
      } else {
        ColumnDef c;
        if (!columnDef(c, true)) return false;
        ct.columns.push_back(std::move(c));
      }
    } while (accept(","));
    if (!expect(")")) return false;
    out = std::move(ct);
    return true;
  }

  // CREATE VIEW name AS SELECT ...: the SELECT is read whole here, so that
  // a view that is no query is refused at once, and kept as its text.
  bool createView(Statement& out) {
    CreateView cv;
    if (!name(cv.name) || !expectWord("AS")) return false;
    const std::size_t from = peek().offset;
    Select select;
    if (!this->select(select)) return false;
    if (!select.into.empty()) return fail();
    cv.sql = std::string(sql_.substr(from, peek().offset - from));
    while (!cv.sql.empty() && sql::isSpace(cv.sql.back())) cv.sql.pop_back();
    out = std::move(cv);
    return true;
  }

  bool createIndex(Statement& out, bool unique) {
    CreateIndex ci;
    ci.unique = unique;
    if (!name(ci.name) || !expectWord("ON") || !name(ci.table) || !nameList(ci.columns)) return false;
    if (acceptWord("WITH")) {
      do {
        if (acceptWord("PRIMARY")) ci.primary = true;
        else if (acceptWord("DISALLOW")) { if (!expectWord("NULL")) return false; ci.disallowNull = true; }
        else if (acceptWord("IGNORE")) { if (!expectWord("NULL")) return false; ci.ignoreNull = true; }
        else return fail();
      } while (isWord("PRIMARY") || isWord("DISALLOW") || isWord("IGNORE"));
    }
    out = std::move(ci);
    return true;
  }

  bool alterTable(Statement& out) {
    AlterTable at;
    if (!name(at.table)) return false;
    if (acceptWord("ADD")) {
      if (acceptWord("CONSTRAINT")) {
        at.action = AlterTable::Action::AddConstraint;
        if (!name(at.constraint.name)) return false;
        std::string saved = at.constraint.name;
        // The name is read; the body reads like a table constraint.
        if (!tableConstraint(at.constraint)) return false;
        at.constraint.name = saved;
      } else if (isWord("PRIMARY") || isWord("FOREIGN") || (isWord("UNIQUE") && peek(1).kind == K::Symbol)) {
        at.action = AlterTable::Action::AddConstraint;
        if (!tableConstraint(at.constraint)) return false;
      } else {
        at.action = AlterTable::Action::AddColumns;
        acceptWord("COLUMN");
        do {
          ColumnDef c;
          if (!columnDef(c, true)) return false;
          at.columns.push_back(std::move(c));
        } while (accept(","));
      }
    } else if (acceptWord("DROP")) {
      if (acceptWord("CONSTRAINT")) {
        at.action = AlterTable::Action::DropConstraint;
        std::string n;
        if (!name(n)) return false;
        at.names.push_back(std::move(n));
      } else {
        at.action = AlterTable::Action::DropColumns;
        acceptWord("COLUMN");
        do {
          std::string n;
          if (!name(n)) return false;
          at.names.push_back(std::move(n));
        } while (accept(","));
      }
    } else if (acceptWord("ALTER")) {
      at.action = AlterTable::Action::AlterColumn;
      acceptWord("COLUMN");
      ColumnDef c;
      if (!columnDef(c, true)) return false;
      at.columns.push_back(std::move(c));
    } else {
      return fail();
    }
    out = std::move(at);
    return true;
  }

  // Words that end a FROM source: a name after a source is its alias
  // unless it is one of these.
  bool clauseWord() const {
    static const char* kWords[] = {"INNER", "LEFT",  "RIGHT", "JOIN", "ON",   "WHERE", "GROUP", "HAVING",
                                   "ORDER", "UNION", "SET",   "FROM", "INTO", "OUTER", "FULL",  "CROSS"};
    for (const char* w : kWords)
      if (isWord(w)) return true;
    return false;
  }
  bool alias(std::string& out) {
    if (acceptWord("AS")) return name(out);
    if (peek().kind == K::Name || (peek().kind == K::Word && !clauseWord())) return name(out);
    return true;
  }

  // A table, "(SELECT ...) AS q", or a parenthesised join.
  bool fromSource(FromItem& f) {
    if (accept("(")) {
      Level level(*this, isWord("SELECT") ? kSubqueryNesting : 1);
      if (!level.ok) return false;
      if (isWord("SELECT")) {
        f.kind = FromItem::Kind::Subquery;
        f.select = std::make_unique<Select>();
        std::string outer = context_;
        if (!select(*f.select)) return false;
        context_ = std::move(outer);
        if (!expect(")")) return false;
        return alias(f.alias);
      }
      if (!fromItem(f)) return false;
      return expect(")");
    }
    f.kind = FromItem::Kind::Table;
    if (!name(f.table)) return false;
    if (notes_) notes_->tables.push_back(f.table);
    return alias(f.alias);
  }
  bool fromItem(FromItem& f) {
    if (!fromSource(f)) return false;
    for (;;) {
      FromItem::Join join;
      if (acceptWord("INNER"))
        join = FromItem::Join::Inner;
      else if (acceptWord("LEFT"))
        join = FromItem::Join::Left;
      else if (acceptWord("RIGHT"))
        join = FromItem::Join::Right;
      else
        return true;
      if (join != FromItem::Join::Inner) acceptWord("OUTER");
      if (!expectWord("JOIN")) return false;
      FromItem j;
      j.kind = FromItem::Kind::Join;
      j.join = join;
      j.left = std::make_unique<FromItem>(std::move(f));
      j.right = std::make_unique<FromItem>();
      // The right side of a join is one source; a join of its own there
      // comes in parentheses.
      if (!fromSource(*j.right) || !expectWord("ON")) return false;
      std::string outer = context_;
      context_ = "l'opération JOIN";
      if (!(j.on = expression())) return false;
      context_ = std::move(outer);
      f = std::move(j);
    }
  }
  static const std::string& firstTable(const FromItem& f) {
    static const std::string kNone;
    if (f.kind == FromItem::Kind::Table) return f.table;
    if (f.kind == FromItem::Kind::Join) return firstTable(*f.left);
    return kNone;
  }

  // SELECT ... up to its HAVING; a union's ORDER BY comes after its last
  // SELECT and belongs to the whole.
  bool selectCore(Select& s, bool first) {
    if (!expectWord("SELECT")) return false;
    // DISTINCTROW leaves out rows of one same record of the tables: over a
    // single table every row is one record, so it changes nothing; over a
    // join it is taken as DISTINCT, which differs only where a table holds
    // two records equal in every field the query returns.
    if (acceptWord("DISTINCT"))
      s.distinct = true;
    else if (acceptWord("DISTINCTROW"))
      s.distinctRow = true;
    else
      acceptWord("ALL");
    if (acceptWord("TOP")) {
      if (peek().kind != K::Integer || peek().integer < 0) return fail();
      s.top = take().integer;
      s.topPercent = acceptWord("PERCENT");
      if (s.topPercent && *s.top > 100) return fail();
    }
    if (accept("*")) {
      s.star = true;
    } else {
      do {
        SelectItem item;
        if ((peek().kind == K::Word || peek().kind == K::Name) && peek(1).kind == K::Symbol && peek(1).text == "." &&
            peek(2).kind == K::Symbol && peek(2).text == "*") {
          item.starOf = take().text;
          take();
          take();
        } else {
          if (!(item.expr = expression())) return false;
          if (acceptWord("AS") && !name(item.alias)) return false;
          if (notes_ && !item.alias.empty()) notes_->aliases.push_back(item.alias);
        }
        s.items.push_back(std::move(item));
      } while (accept(","));
    }
    if (first && acceptWord("INTO")) {
      context_ = "l'instruction SELECT INTO";
      if (!name(s.into)) return false;
    }
    context_ = "la clause FROM";
    // Without FROM (SELECT 1, SELECT @@IDENTITY, SELECT ?): one row.
    if (!acceptWord("FROM")) {
      if (isWord("WHERE") || isWord("GROUP") || isWord("HAVING")) return fail();
      return true;
    }
    do {
      FromItem f;
      if (!fromItem(f)) return false;
      s.from.push_back(std::move(f));
    } while (accept(","));
    s.table = firstTable(s.from.front());
    if (acceptWord("WHERE")) {
      context_ = "la clause WHERE";
      if (!(s.where = expression())) return false;
    }
    if (acceptWord("GROUP")) {
      context_ = "la clause GROUP BY";
      if (!expectWord("BY")) return false;
      do {
        ExprPtr e = expression();
        if (!e) return false;
        s.groupBy.push_back(std::move(e));
      } while (accept(","));
    }
    if (acceptWord("HAVING")) {
      context_ = "la clause HAVING";
      if (!(s.having = expression())) return false;
    }
    return true;
  }

  // "(" SELECT, "((" SELECT...: a member of a union in parentheses.
  bool startsSelect() const {
    std::size_t k = 0;
    while (peek(k).kind == K::Symbol && peek(k).text == "(") ++k;
    return k > 0 && isWord("SELECT", k);
  }
  // One SELECT of a union, bare or in parentheses as clients write them:
  // "(SELECT ...) UNION (SELECT ...)".
  bool member(Select& s, bool first) {
    if (!accept("(")) return selectCore(s, first);
    Level level(*this);
    if (!level.ok) return false;
    return member(s, first) && expect(")");
  }

  bool select(Select& s) {
    if (!member(s, true)) return false;
    Select* last = &s;
    while (acceptWord("UNION")) {
      context_ = "la requête Union";
      last->unionAll = acceptWord("ALL");
      last->unionNext = std::make_unique<Select>();
      last = last->unionNext.get();
      if (!member(*last, false)) return false;
    }
    if (acceptWord("ORDER")) {
      context_ = "la clause ORDER BY";
      if (!expectWord("BY")) return false;
      do {
        OrderItem o;
        if (!(o.expr = expression())) return false;
        if (acceptWord("DESC")) o.descending = true;
        else acceptWord("ASC");
        s.order.push_back(std::move(o));
      } while (accept(","));
    }
    return true;
  }

  bool insert(Statement& out) {
    Insert ins;
    if (!expectWord("INTO") || !name(ins.table)) return false;
    if (isSymbol("(") && !nameList(ins.columns)) return false;
    if (acceptWord("VALUES")) {
      if (!expect("(")) return false;
      do {
        ExprPtr e = expression();
        if (!e) return false;
        ins.values.push_back(std::move(e));
      } while (accept(","));
      if (!expect(")")) return false;
    } else if (isWord("SELECT")) {
      ins.select = std::make_unique<Select>();
      if (!select(*ins.select)) return false;
    } else {
      return fail();
    }
    out = std::move(ins);
    return true;
  }

  bool update(Statement& out) {
    Update up;
    FromItem f;
    if (!fromItem(f) || !expectWord("SET")) return false;
    if (f.kind == FromItem::Kind::Table && f.alias.empty())
      up.table = f.table;
    else
      up.from = std::move(f);
    do {
      Assignment a;
      if (!name(a.column)) return false;
      if (accept(".")) {
        a.qualifier = std::move(a.column);
        if (!name(a.column)) return false;
      }
      if (!expect("=") || !(a.value = expression())) return false;
      up.assignments.push_back(std::move(a));
    } while (accept(","));
    if (acceptWord("WHERE")) {
      context_ = "la clause WHERE";
      if (!(up.where = expression())) return false;
    }
    out = std::move(up);
    return true;
  }

  bool remove(Statement& out) {
    Delete d;
    // "DELETE [Table].* FROM [Table]" names the table twice; over a join it
    // says which table loses rows.
    std::string target;
    if (!accept("*") && !isWord("FROM")) {
      if (!name(target) || !expect(".") || !expect("*")) return false;
    }
    context_ = "la clause FROM";
    FromItem f;
    if (!expectWord("FROM") || !fromItem(f)) return false;
    if (f.kind == FromItem::Kind::Table && f.alias.empty()) {
      d.table = f.table;
    } else {
      if (f.kind == FromItem::Kind::Subquery) return fail();
      // The table that loses rows, by its alias when it has one.
      d.table = target.empty() && f.kind == FromItem::Kind::Table ? f.alias : target;
      if (d.table.empty()) return fail();
      d.from = std::move(f);
    }
    if (acceptWord("WHERE")) {
      context_ = "la clause WHERE";
      if (!(d.where = expression())) return false;
    }
    out = std::move(d);
    return true;
  }

  // Expressions, from the loosest operator to the tightest.
  ExprPtr expression() {
    std::size_t from = peek().offset;
    if (depth_ == 0) outermost_ = from;
    ExprPtr e = orExpr();
    if (e) e->source = std::string(sql_.substr(from, peek().offset - from));
    return e;
  }

  // One level of nesting, left when it goes out of scope. The levels bound
  // the recursion of the parser, of the compiler and of the tree's
  // destruction, and the depth of the SQL made from it; the operands of a
  // chain share their level, so a long chain costs none.
  struct Level {
    Parser& p;
    int weight;
    bool ok;
    explicit Level(Parser& parser, int levels = 1)
        : p(parser), weight(levels), ok((parser.depth_ += levels) <= kMaxNesting) {
      if (!ok && !p.failed_) {
        p.failed_ = true;
        std::string shown(p.sql_.substr(p.outermost_, 60));
        if (p.outermost_ + shown.size() < p.sql_.size()) shown += "...";
        p.error_ = errors::tooDeep(shown);
      }
    }
    ~Level() { p.depth_ -= weight; }
    Level(const Level&) = delete;
    Level& operator=(const Level&) = delete;
  };

  // A run of operators of one precedence, read in a loop: "a OR b OR c" is
  // one Chain of three operands, not a tree three deep.
  template <typename NextOp>
  ExprPtr chain(ExprPtr (Parser::*operand)(), NextOp nextOp) {
    ExprPtr first = (this->*operand)();
    if (!first) return nullptr;
    ExprPtr run;
    std::string op;
    while (nextOp(op)) {
      ExprPtr r = (this->*operand)();
      if (!r) return nullptr;
      if (!run) {
        run = std::make_unique<Expr>();
        run->kind = Expr::Kind::Chain;
        run->args.push_back(std::move(first));
      }
      run->ops.push_back(op);
      run->args.push_back(std::move(r));
    }
    return run ? std::move(run) : std::move(first);
  }
  auto words(const char* w) {
    return [this, w](std::string& op) {
      if (!acceptWord(w)) return false;
      op = w;
      return true;
    };
  }
  auto symbols(const char* a, const char* b) {
    return [this, a, b](std::string& op) {
      if (!isSymbol(a) && !isSymbol(b)) return false;
      op = take().text;
      return true;
    };
  }

  ExprPtr orExpr() { return chain(&Parser::andExpr, words("OR")); }
  ExprPtr andExpr() { return chain(&Parser::notExpr, words("AND")); }
  ExprPtr notExpr() {
    if (acceptWord("NOT")) {
      Level level(*this);
      if (!level.ok) return nullptr;
      ExprPtr inner = notExpr();
      if (!inner) return nullptr;
      auto e = std::make_unique<Expr>();
      e->kind = Expr::Kind::Unary;
      e->op = "NOT";
      e->args.push_back(std::move(inner));
      return e;
    }
    return comparison();
  }
  ExprPtr comparison() {
    std::size_t from = peek().offset;
    ExprPtr l = concat();
    if (!l) return nullptr;
    static const char* kOps[] = {"=", "<>", "!=", "<=", ">=", "<", ">"};
    for (const char* op : kOps) {
      if (accept(op)) {
        ExprPtr r = concat();
        if (!r) return nullptr;
        auto e = std::make_unique<Expr>();
        e->kind = Expr::Kind::Binary;
        e->op = std::string(op) == "!=" ? "<>" : op;
        e->args.push_back(std::move(l));
        e->args.push_back(std::move(r));
        return e;
      }
    }
    if (acceptWord("IS")) {
      auto e = std::make_unique<Expr>();
      e->kind = Expr::Kind::IsNull;
      e->negated = acceptWord("NOT");
      if (!acceptWord("NULL")) { failExpression(from); return nullptr; }
      e->args.push_back(std::move(l));
      return e;
    }
    bool negated = false;
    if (isWord("NOT") && (isWord("LIKE", 1) || isWord("IN", 1) || isWord("BETWEEN", 1))) {
      take();
      negated = true;
    }
    if (acceptWord("BETWEEN")) {
      auto e = std::make_unique<Expr>();
      e->kind = Expr::Kind::Between;
      e->negated = negated;
      e->args.push_back(std::move(l));
      ExprPtr low = concat();
      if (!low) return nullptr;
      if (!acceptWord("AND")) {
        failExpression(from);
        return nullptr;
      }
      ExprPtr high = concat();
      if (!high) return nullptr;
      e->args.push_back(std::move(low));
      e->args.push_back(std::move(high));
      return e;
    }
    if (acceptWord("IN")) return in(std::move(l), negated, from);
    if (acceptWord("LIKE")) {
      ExprPtr r = concat();
      if (!r) return nullptr;
      auto e = std::make_unique<Expr>();
      e->kind = Expr::Kind::Like;
      e->negated = negated;
      e->args.push_back(std::move(l));
      e->args.push_back(std::move(r));
      return e;
    }
    return l;
  }
  // "x IN (a, b, ...)" or "x IN (SELECT ...)".
  ExprPtr in(ExprPtr tested, bool negated, std::size_t from) {
    Level level(*this, kInNesting);
    if (!level.ok) return nullptr;
    if (!accept("(")) {
      failExpression(from);
      return nullptr;
    }
    std::optional<Level> subquery;
    if (isWord("SELECT")) {
      subquery.emplace(*this, kSubqueryNesting - kInNesting);
      if (!subquery->ok) return nullptr;
    }
    auto e = std::make_unique<Expr>();
    e->kind = Expr::Kind::In;
    e->negated = negated;
    e->args.push_back(std::move(tested));
    if (isWord("SELECT")) {
      std::string outer = context_;
      e->subquery = std::make_unique<Select>();
      if (!select(*e->subquery)) return nullptr;
      context_ = std::move(outer);
    } else {
      do {
        ExprPtr v = expression();
        if (!v) return nullptr;
        e->args.push_back(std::move(v));
      } while (accept(","));
    }
    if (!accept(")")) {
      failExpression(from);
      return nullptr;
    }
    return e;
  }
  ExprPtr concat() { return chain(&Parser::additive, symbols("&", "&")); }
  ExprPtr additive() { return chain(&Parser::multiplicative, symbols("+", "-")); }
  ExprPtr multiplicative() { return chain(&Parser::unary, symbols("*", "/")); }
  ExprPtr unary() {
    if (isSymbol("-") || isSymbol("+")) {
      Level level(*this);
      if (!level.ok) return nullptr;
      std::string op = take().text;
      ExprPtr inner = unary();
      if (!inner) return nullptr;
      if (op == "+") return inner;
      // Fold "-1" into a literal so that filters such as [OWNER] = -1 bind
      // one value.
      if (inner->kind == Expr::Kind::Literal && inner->literal.kind == Value::Kind::Integer &&
          inner->literal.integer != INT64_MIN) {
        inner->literal.integer = -inner->literal.integer;
        return inner;
      }
      if (inner->kind == Expr::Kind::Literal && inner->literal.kind == Value::Kind::Double) {
        inner->literal.real = -inner->literal.real;
        return inner;
      }
      auto e = std::make_unique<Expr>();
      e->kind = Expr::Kind::Unary;
      e->op = "-";
      e->args.push_back(std::move(inner));
      return e;
    }
    return primary();
  }
  ExprPtr literal(Value v) {
    auto e = std::make_unique<Expr>();
    e->kind = Expr::Kind::Literal;
    e->literal = std::move(v);
    return e;
  }
  ExprPtr primary() {
    std::size_t from = peek().offset;
    const Token& t = peek();
    switch (t.kind) {
      case K::Integer: return literal(Value::of(take().integer));
      case K::Real: return literal(Value::of(take().real));
      case K::String: return literal(Value::of(take().text));
      case K::Date: return literal(Value::dateTime(take().integer));
      case K::Bytes: return literal(Value::bytes(take().text));
      case K::Symbol:
        if (isSymbol("?")) {
          auto e = std::make_unique<Expr>();
          e->kind = Expr::Kind::Parameter;
          e->offset = take().offset;
          e->name = "?";
          if (notes_) notes_->values.emplace_back(e->offset, "?");
          return e;
        }
        if (isSymbol("(") && isWord("SELECT", 1)) {
          take();
          return subquery(Expr::Kind::Subquery, from);
        }
        if (isSymbol("@") && peek(1).kind == K::Symbol && peek(1).text == "@" && isWord("IDENTITY", 2)) {
          take();
          take();
          take();
          auto e = std::make_unique<Expr>();
          e->kind = Expr::Kind::Call;
          e->name = "@@IDENTITY";
          e->source = "@@IDENTITY";
          return e;
        }
        if (accept("(")) {
          Level level(*this);
          if (!level.ok) return nullptr;
          ExprPtr inner = orExpr();
          if (!inner) return nullptr;
          if (!accept(")")) { failExpression(from); return nullptr; }
          return inner;
        }
        failExpression(from);
        return nullptr;
      case K::Word:
        if (isWord("NULL")) { take(); return literal(Value::null()); }
        if (isWord("TRUE") || isWord("YES")) { take(); return literal(Value::of(-1)); }
        if (isWord("FALSE") || isWord("NO")) { take(); return literal(Value::of(0)); }
        if (isWord("EXISTS") && peek(1).kind == K::Symbol && peek(1).text == "(") {
          take();
          take();
          if (!isWord("SELECT")) {
            failExpression(from);
            return nullptr;
          }
          return subquery(Expr::Kind::Exists, from);
        }
        if (peek(1).kind == K::Symbol && peek(1).text == "(") return call();
        return column();
      case K::Name: return column();
      default:
        failExpression(from);
        return nullptr;
    }
  }
  // The SELECT of "(SELECT ...)" or "EXISTS (SELECT ...)", read after its
  // opening parenthesis.
  ExprPtr subquery(Expr::Kind kind, std::size_t from) {
    Level level(*this, kSubqueryNesting);
    if (!level.ok) return nullptr;
    auto e = std::make_unique<Expr>();
    e->kind = kind;
    e->subquery = std::make_unique<Select>();
    std::string outer = context_;
    if (!select(*e->subquery)) return nullptr;
    context_ = std::move(outer);
    if (!accept(")")) {
      failExpression(from);
      return nullptr;
    }
    return e;
  }
  ExprPtr call() {
    std::size_t from = peek().offset;
    Level level(*this);
    if (!level.ok) return nullptr;
    std::string fn = take().text;
    for (char& c : fn) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    take();  // "("
    static const char* kAggregates[] = {"COUNT", "MIN",   "MAX",    "SUM", "AVG", "FIRST",
                                        "LAST",  "STDEV", "STDEVP", "VAR", "VARP"};
    bool known = false;
    for (const char* a : kAggregates) known = known || fn == a;
    if (!known && isBuiltinFunction(fn)) return builtinCall(std::move(fn), from);
    if (!known) {
      failed_ = true;
      error_ = makeError("42000", 3085, "Fonction '" + fn + "' non définie dans l'expression.");
      return nullptr;
    }
    auto e = std::make_unique<Expr>();
    if (fn == "COUNT" && accept("*")) {
      e->kind = Expr::Kind::CountStar;
    } else {
      e->kind = Expr::Kind::Aggregate;
      ExprPtr arg = orExpr();
      if (!arg) return nullptr;
      e->args.push_back(std::move(arg));
    }
    e->name = fn;
    if (!accept(")")) { failExpression(from); return nullptr; }
    return e;
  }
  // A built-in function's call: its arguments, any number of them (the
  // compiler checks the count against the function).
  ExprPtr builtinCall(std::string fn, std::size_t from) {
    auto e = std::make_unique<Expr>();
    e->kind = Expr::Kind::Call;
    e->name = std::move(fn);
    if (!accept(")")) {
      do {
        ExprPtr arg = orExpr();
        if (!arg) return nullptr;
        e->args.push_back(std::move(arg));
      } while (accept(","));
      if (!accept(")")) { failExpression(from); return nullptr; }
    }
    e->source = std::string(sql_.substr(from, peek().offset - from));
    return e;
  }
  ExprPtr column() {
    auto e = std::make_unique<Expr>();
    e->kind = Expr::Kind::Column;
    e->offset = peek().offset;
    if (!name(e->name)) return nullptr;
    if (accept(".")) {
      e->qualifier = std::move(e->name);
      if (!name(e->name)) return nullptr;
    } else if (notes_) {
      notes_->values.emplace_back(e->offset, e->name);
    }
    return e;
  }

  std::string_view sql_;
  std::vector<Token> tokens_;
  std::size_t pos_ = 0;
  int depth_ = 0;
  std::size_t outermost_ = 0;  // where the expression being read starts
  bool failed_ = false;
  Error error_;
  std::string context_ = "l'instruction SQL";
  ParseNotes* notes_ = nullptr;
};

}  // namespace

bool parseStatement(std::string_view sql, Statement& out, Error& error, ParseNotes* notes) {
  Parser p(sql, notes);
  return p.statement(out, error);
}

}  // namespace jetdb
