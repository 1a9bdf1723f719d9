#include "data/sql_script.h"

#include <string>

#include "data/connection.h"
#include "data/dataset.h"

namespace data {

namespace {

// Reads a script character by character, collecting the text of one statement at a time.
class ScriptSplitter
{
public:
    explicit ScriptSplitter(const QByteArray& script) : script_(script) {}

    std::vector<QByteArray> statements()
    {
        while (pos_ < script_.size()) {
            if (startsWith("--"))
                skipPast("\n");
            else if (startsWith("/*"))
                skipPast("*/");
            else if (script_[pos_] == '\'' || script_[pos_] == '"')
                copyQuoted(script_[pos_]);
            else if (startsWith(terminator_))
                endStatement();
            else
                current_ += script_[pos_++];
        }
        endStatement();
        return std::move(statements_);
    }

private:
    bool startsWith(const QByteArray& text) const { return script_.mid(pos_, text.size()) == text; }

    void skipPast(const char* end)
    {
        const qsizetype found = script_.indexOf(end, pos_ + 2);
        pos_ = found < 0 ? script_.size() : found + qstrlen(end);
        current_ += ' ';
    }

    // A quoted literal or name; a doubled quote stands for one and does not end it.
    void copyQuoted(char quote)
    {
        qsizetype end = pos_ + 1;
        for (;;) {
            end = script_.indexOf(quote, end);
            if (end < 0 || end + 1 >= script_.size() || script_[end + 1] != quote)
                break;
            end += 2;
        }
        end = end < 0 ? script_.size() : end + 1;
        current_ += script_.mid(pos_, end - pos_);
        pos_ = end;
    }

    void endStatement()
    {
        pos_ += terminator_.size();
        const QByteArray statement = current_.trimmed();
        current_.clear();
        if (statement.isEmpty())
            return;
        if (!applySetTerm(statement))
            statements_.push_back(statement);
    }

    // "SET TERM <new> [old]": true when the statement was one.
    bool applySetTerm(const QByteArray& statement)
    {
        const QList<QByteArray> words = statement.simplified().split(' ');
        if (words.size() < 3 || words[0].toUpper() != "SET" || words[1].toUpper() != "TERM")
            return false;
        terminator_ = words[2];
        return true;
    }

    const QByteArray& script_;
    qsizetype pos_ = 0;
    QByteArray terminator_ = ";";
    QByteArray current_;
    std::vector<QByteArray> statements_;
};

} // namespace

std::vector<QByteArray> splitSqlScript(const QByteArray& script)
{
    return ScriptSplitter(script).statements();
}

void runSqlScript(Connection& connection, const QByteArray& script)
{
    runSqlStatements(connection, splitSqlScript(script));
}

void runSqlStatements(Connection& connection, const std::vector<QByteArray>& statements)
{
    Transaction& transaction = connection.defaultTransaction();
    Query query(connection, transaction);
    for (std::size_t i = 0; i < statements.size(); ++i) {
        query.setText(statements[i]);
        try {
            query.execute();
            transaction.commit();
        } catch (const DbError& e) {
            throw DbError("Statement " + std::to_string(i + 1) + " of the script failed: " + e.what());
        }
    }
}

} // namespace data
