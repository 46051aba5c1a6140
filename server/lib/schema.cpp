#include "lib/schema.h"

#include "lib/database.h"
#include "lib/requesterror.h"
#include "lib/schemaversion.h"

#include <QPair>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <functional>

namespace {

ColumnDef key(const QString &name, int size) { return {name, ColumnType::Text, size, true, true}; }
ColumnDef keyDate(const QString &name) { return {name, ColumnType::DateTime, 0, true, true}; }
ColumnDef text(const QString &name, int size) { return {name, ColumnType::Text, size, false, true}; }
ColumnDef real(const QString &name) { return {name, ColumnType::Real, 0, false, true}; }
ColumnDef date(const QString &name) { return {name, ColumnType::DateTime, 0, false, true}; }

std::vector<TableDef> makeTables()
{
    const ColumnDef branch = key(QStringLiteral("CDFILIAL"), 4);
    const ColumnDef patient = key(QStringLiteral("CDPACIENTE"), 12);
    const ColumnDef serviceDate = keyDate(QStringLiteral("DTSERVINTE"));
    const ColumnDef sequence = key(QStringLiteral("NRSEQUSERV"), 2);
    const ColumnDef itemNumber = key(QStringLiteral("CDSEQUCOPR"), 4);
    // HRCONF is rewritten from HRCONSCONF on every write, so a client's copy
    // of it is not evidence of a concurrent change.
    ColumnDef hourText = text(QStringLiteral("HRCONF"), 4);
    hourText.compared = false;

    return {
        {QStringLiteral("FILIAL"), {branch, text(QStringLiteral("NMFILIAL"), 30)}, {}, 0},
        // QTKCALKG / QTPROTKG: the branch's default energy (kcal/kg/day) and
        // protein (g/kg/day) goals, for admissions whose standard has none.
        {QStringLiteral("PARADIETO"),
         {branch, text(QStringLiteral("IDAJUSTAPACI"), 1), real(QStringLiteral("QTKCALKG")),
          real(QStringLiteral("QTPROTKG"))},
         QStringLiteral("FILIAL"), 1},
        // Safe hang time per branch and preparation ("A" open, "F" closed),
        // as "hhmm" text like the item hour; a missing row means the default.
        {QStringLiteral("PARAHANG"),
         {branch, key(QStringLiteral("IDPREPCONF"), 1), text(QStringLiteral("HRMAXHANG"), 4)},
         QStringLiteral("FILIAL"), 1},
        // QTKCALKG / QTPROTKG: the standard's default goals per kg and day.
        {QStringLiteral("PADRAOSERV"),
         {key(QStringLiteral("CDSERPADDIE"), 3), text(QStringLiteral("NMSERPADDIE"), 30),
          real(QStringLiteral("QTKCALKG")), real(QStringLiteral("QTPROTKG"))},
         {}, 0},
        {QStringLiteral("ALA"), {branch, key(QStringLiteral("CDALA"), 12), text(QStringLiteral("NMALA"), 40)},
         QStringLiteral("FILIAL"), 1},
        {QStringLiteral("ANDAR"),
         {branch, key(QStringLiteral("CDANDAR"), 12), text(QStringLiteral("NMANDAR"), 40)},
         QStringLiteral("FILIAL"), 1},
        {QStringLiteral("LEITO"),
         {branch, key(QStringLiteral("CDLEITO"), 12), text(QStringLiteral("NMLEITO"), 40),
          text(QStringLiteral("CDALA"), 12), text(QStringLiteral("CDANDAR"), 12)},
         QStringLiteral("FILIAL"), 1},
        {QStringLiteral("SERVICO"),
         {branch, key(QStringLiteral("CDSERVFILI"), 5), text(QStringLiteral("NMSERVICO"), 40),
          text(QStringLiteral("IDTIPOSERV"), 1), text(QStringLiteral("IDTPSERVHOSP"), 1)},
         QStringLiteral("FILIAL"), 1},
        {QStringLiteral("DIETPADR"),
         {key(QStringLiteral("CDDIETPAD"), 4), text(QStringLiteral("DSDIETPAD"), 50),
          text(QStringLiteral("IDFORMDIET"), 1)}, {}, 0},
        {QStringLiteral("DIETSERV"),
         {branch, key(QStringLiteral("CDSERVFILI"), 5), key(QStringLiteral("CDDIETPAD"), 4)},
         QStringLiteral("SERVICO"), 2},
        {QStringLiteral("VIACESDIET"),
         {key(QStringLiteral("CDVIACESDIET"), 3), text(QStringLiteral("NMVIACESDIET"), 30)}, {}, 0},
        {QStringLiteral("TPOCORINFU"),
         {key(QStringLiteral("CDTPOCORINFU"), 3), text(QStringLiteral("NMTPOCORINFU"), 100),
          text(QStringLiteral("IDINTERRUPCAO"), 1)},
         {}, 0},
        {QStringLiteral("PRODUTO"),
         {key(QStringLiteral("CDPRODUTO"), 10), text(QStringLiteral("CDARVPROD"), 20),
          text(QStringLiteral("NMPRODUTO"), 50), text(QStringLiteral("SGUNIDADE"), 10), real(QStringLiteral("QTKCALML")),
          real(QStringLiteral("QTPROTML"))},
         {}, 0},
        {QStringLiteral("PRATO"),
         {branch, key(QStringLiteral("CDPRATO"), 10), text(QStringLiteral("NMPRATO"), 40),
          text(QStringLiteral("SGUNIDADE"), 10), real(QStringLiteral("QTKCALML")), real(QStringLiteral("QTPROTML"))},
         QStringLiteral("FILIAL"), 1},
        {QStringLiteral("OPERADOR"),
         {key(QStringLiteral("CDOPERADOR"), 12), text(QStringLiteral("NMOPERADOR"), 40),
          text(QStringLiteral("DSSENHA"), 128)}, {}, 0},
        {QStringLiteral("NUTRICIO"), {branch, key(QStringLiteral("CDNUTRICIO"), 12)},
         QStringLiteral("FILIAL"), 1},
        {QStringLiteral("PACIENTE"),
         {patient, text(QStringLiteral("NMPACIENTE"), 80), date(QStringLiteral("DTNASCPACI"))}, {}, 0},
        {QStringLiteral("HABITOPACI"), {patient, text(QStringLiteral("DSOBSGERAL"), 255)},
         QStringLiteral("PACIENTE"), 1},
        {QStringLiteral("INTERNAC"),
         {branch, patient, keyDate(QStringLiteral("DTINTERNA")), text(QStringLiteral("CDLEITO"), 12),
          text(QStringLiteral("CDSERPADDIE"), 3), date(QStringLiteral("DTALTA")),
          text(QStringLiteral("DSSERVINTE"), 255)},
         QStringLiteral("FILIAL"), 1},
        // The admission's own energy and protein goals per kg and day; a goal
        // left empty takes the default of the standard, else of the branch.
        {QStringLiteral("METAINTE"),
         {branch, patient, keyDate(QStringLiteral("DTINTERNA")), real(QStringLiteral("QTKCALKG")),
          real(QStringLiteral("QTPROTKG"))},
         QStringLiteral("INTERNAC"), 3},
        {QStringLiteral("SERVINTE"),
         {branch, patient, serviceDate, sequence, date(QStringLiteral("DTINTERNA")),
          text(QStringLiteral("CDDIETGRUPSI"), 4), text(QStringLiteral("CDSERVFILI"), 5),
          text(QStringLiteral("CDDIETPAD"), 4), text(QStringLiteral("NRACOMPANA"), 4),
          text(QStringLiteral("STPACIACOM"), 1), text(QStringLiteral("IDIMPRSERV"), 1),
          text(QStringLiteral("IDTIPOSERINT"), 1), text(QStringLiteral("IDRESTSERIN"), 1),
          text(QStringLiteral("CDNUTRICIO"), 12), text(QStringLiteral("DSSERVINTE"), 255),
          real(QStringLiteral("NRSERVPESO"))},
         QStringLiteral("FILIAL"), 1},
        {QStringLiteral("CONFESCO"),
         {branch, patient, serviceDate, sequence, itemNumber, text(QStringLiteral("CDFILAUXPRAT"), 4),
          text(QStringLiteral("CDPRATO"), 10), real(QStringLiteral("QTSERVCONF")),
          real(QStringLiteral("QTPRATCONF")), real(QStringLiteral("QTINFUCONF")),
          real(QStringLiteral("HRCONSCONF")), date(QStringLiteral("DTCONSCONF")),
          text(QStringLiteral("CDPRODUTO"), 10), text(QStringLiteral("CDVIACESDIET"), 3),
          text(QStringLiteral("IDPREPCONF"), 1), text(QStringLiteral("DSOBSCONF"), 255), hourText,
          text(QStringLiteral("SGUNIDADE"), 5), text(QStringLiteral("CDFORMULACAO"), 20)},
         QStringLiteral("SERVINTE"), 4},
        {QStringLiteral("OCORINFU"),
         {branch, patient, serviceDate, sequence, itemNumber, keyDate(QStringLiteral("DTOCORINFU")),
          key(QStringLiteral("CDTPOCORINFU"), 3)},
         QStringLiteral("CONFESCO"), 5},
    };
}

QString columnType(const ColumnDef &column)
{
    switch (column.type) {
    case ColumnType::Text:
        return QStringLiteral("VARCHAR(%1)").arg(column.size);
    case ColumnType::Real:
        return QStringLiteral("DOUBLE PRECISION");
    case ColumnType::DateTime:
        return QStringLiteral("TIMESTAMP");
    }
    return {};
}

QString createStatement(const TableDef &table, Dialect dialect)
{
    QStringList parts;
    for (const ColumnDef &column : table.columns)
        parts << column.name + QLatin1Char(' ') + columnType(column) + (column.key ? QStringLiteral(" NOT NULL") : QString());
    const QStringList keys = table.keyNames();
    parts << QStringLiteral("PRIMARY KEY (%1)").arg(keys.join(QStringLiteral(", ")));
    if (!table.parent.isEmpty()) {
        const QStringList parentKeys = Schema::table(table.parent).keyNames().mid(0, table.parentKeyCount);
        parts << QStringLiteral("FOREIGN KEY (%1) REFERENCES %2 (%3)")
                     .arg(keys.mid(0, table.parentKeyCount).join(QStringLiteral(", ")), table.parent,
                          parentKeys.join(QStringLiteral(", ")));
    }
    // SQLite: rows stored in the primary key's own tree, so a lookup by key
    // (every join here) is one search instead of the key index and then the
    // row.
    const QString options = dialect == Dialect::SQLite ? QStringLiteral(" WITHOUT ROWID") : QString();
    return QStringLiteral("CREATE TABLE %1 (\n  %2\n)%3").arg(table.name, parts.join(QStringLiteral(",\n  ")), options);
}

const QStringList indexStatements = {
    QStringLiteral("CREATE INDEX IF NOT EXISTS IX_INTERNAC_ALTA ON INTERNAC (CDFILIAL, DTALTA)"),
    QStringLiteral("CREATE INDEX IF NOT EXISTS IX_SERVINTE_INTERNA ON SERVINTE (CDFILIAL, CDPACIENTE, DTINTERNA)"),
    QStringLiteral("CREATE INDEX IF NOT EXISTS IX_PRODUTO_ARV ON PRODUTO (CDARVPROD)"),
};

// The number of a trail's entry is given by the database, so entries
// written by several servers at once never share one.
QString entryNumber(const QString &column, Dialect dialect)
{
    return dialect == Dialect::SQLite ? column + QStringLiteral(" INTEGER PRIMARY KEY AUTOINCREMENT")
                                      : column + QStringLiteral(" BIGINT GENERATED ALWAYS AS IDENTITY PRIMARY KEY");
}

QStringList auditStatements(Dialect dialect)
{
    return {
        QStringLiteral("CREATE TABLE %1 (\n  %2,\n  DTAUDITORIA TIMESTAMP NOT NULL,\n  CDOPERADOR VARCHAR(12),\n"
                       "  NMMETODO VARCHAR(40) NOT NULL,\n  TPALTERACAO VARCHAR(6) NOT NULL,\n"
                       "  NMTABELA VARCHAR(30) NOT NULL,\n  DSCHAVE VARCHAR(400) NOT NULL,\n  DSANTERIOR TEXT,\n"
                       "  DSNOVO TEXT\n)")
            .arg(Schema::auditTable, entryNumber(QStringLiteral("NRAUDITORIA"), dialect)),
        QStringLiteral("CREATE INDEX IX_AUDITORIA_CHAVE ON %1 (NMTABELA, DSCHAVE)").arg(Schema::auditTable),
    };
}

// Added to the login history in schema version 6; the rows before it stand
// for one attempt each.
const QString loginAttemptsColumn = QStringLiteral("QTTENTATIVAS INTEGER NOT NULL DEFAULT 1");

QStringList loginHistoryStatements(Dialect dialect)
{
    return {
        QStringLiteral("CREATE TABLE %1 (\n  %2,\n  DTHISTENTRADA TIMESTAMP NOT NULL,\n  CDOPERADOR VARCHAR(12),\n"
                       "  DSCLIENTE VARCHAR(45) NOT NULL,\n  TPEVENTO VARCHAR(7) NOT NULL,\n"
                       "  DSRESULTADO VARCHAR(10) NOT NULL,\n  %3\n)")
            .arg(Schema::loginHistoryTable, entryNumber(QStringLiteral("NRHISTENTRADA"), dialect),
                 loginAttemptsColumn),
        QStringLiteral("CREATE INDEX IX_HISTENTRADA_OPERADOR ON %1 (CDOPERADOR)").arg(Schema::loginHistoryTable),
    };
}

// The trails apart from tables(), each with the statements that create it.
QVector<QPair<QString, QStringList>> trailStatements(Dialect dialect)
{
    return {{Schema::auditTable, auditStatements(dialect)},
            {Schema::loginHistoryTable, loginHistoryStatements(dialect)}};
}

void execute(QSqlDatabase &db, const QString &statement)
{
    QSqlQuery query(db);
    if (!query.exec(statement))
        throw RequestError(QStringLiteral("Falha ao criar o banco de dados: %1").arg(query.lastError().text()));
}

// Runs the statements, then `finish`, in one transaction: a database is made
// whole or not at all.
void executeAll(QSqlDatabase &db, const QStringList &statements,
                const std::function<void(QSqlDatabase &)> &finish = {})
{
    if (!db.transaction())
        throw RequestError(QStringLiteral("Falha ao criar o banco de dados: %1").arg(db.lastError().text()));
    try {
        for (const QString &statement : statements)
            execute(db, statement);
        if (finish)
            finish(db);
    } catch (...) {
        db.rollback();
        throw;
    }
    db.commit();
}

// Adds the columns of `table` that the database's copy lacks. A missing key
// column cannot be added to rows already there, so it is refused.
void addMissingColumns(QSqlDatabase &db, const TableDef &table)
{
    // PostgreSQL keeps the unquoted names of the DDL in lower case.
    const QSqlRecord present =
        db.record(dialectOf(db) == Dialect::PostgreSQL ? table.name.toLower() : table.name);
    for (const ColumnDef &column : table.columns) {
        if (present.contains(column.name))
            continue;
        if (column.key)
            throw RequestError(QStringLiteral("A tabela %1 do banco de dados não tem a coluna de chave %2; o esquema "
                                              "não pode ser atualizado automaticamente.")
                                   .arg(table.name, column.name));
        execute(db, QStringLiteral("ALTER TABLE %1 ADD COLUMN %2 %3").arg(table.name, column.name, columnType(column)));
    }
}

} // namespace

const ColumnDef *TableDef::column(const QString &name) const
{
    for (const ColumnDef &c : columns) {
        if (c.name.compare(name, Qt::CaseInsensitive) == 0)
            return &c;
    }
    return nullptr;
}

QStringList TableDef::keyNames() const
{
    QStringList names;
    for (const ColumnDef &c : columns) {
        if (c.key)
            names << c.name;
    }
    return names;
}

QString TableDef::columnList() const
{
    QStringList names;
    for (const ColumnDef &c : columns)
        names << c.name;
    return names.join(QStringLiteral(", "));
}

int TableDef::columnIndex(const QString &name) const
{
    for (size_t i = 0; i < columns.size(); ++i) {
        if (columns[i].name == name)
            return int(i);
    }
    return -1;
}

namespace Schema {

const std::vector<TableDef> &tables()
{
    static const std::vector<TableDef> all = makeTables();
    return all;
}

const TableDef &table(const QString &name)
{
    for (const TableDef &t : tables()) {
        if (t.name == name)
            return t;
    }
    throw std::logic_error("unknown table " + name.toStdString());
}

bool exists(QSqlDatabase &db)
{
    const QStringList present = db.tables();
    return present.contains(QStringLiteral("SERVINTE"), Qt::CaseInsensitive);
}

void create(QSqlDatabase &db)
{
    QStringList statements;
    for (const TableDef &table : tables())
        statements << createStatement(table, dialectOf(db));
    statements += indexStatements;
    for (const auto &[name, trail] : trailStatements(dialectOf(db)))
        statements += trail;
    executeAll(db, statements,
               [](QSqlDatabase &created) { SchemaVersion::markCurrent(created); });
}

void addMissing(QSqlDatabase &db)
{
    const QStringList present = db.tables();
    for (const TableDef &table : tables()) {
        if (present.contains(table.name, Qt::CaseInsensitive))
            addMissingColumns(db, table);
        else
            execute(db, createStatement(table, dialectOf(db)));
    }
    for (const QString &statement : indexStatements)
        execute(db, statement);
    for (const auto &[name, trail] : trailStatements(dialectOf(db))) {
        if (!present.contains(name, Qt::CaseInsensitive)) {
            for (const QString &statement : trail)
                execute(db, statement);
        }
    }
    const QString historyName = dialectOf(db) == Dialect::PostgreSQL ? loginHistoryTable.toLower() : loginHistoryTable;
    if (!db.record(historyName).contains(QStringLiteral("QTTENTATIVAS")))
        execute(db, QStringLiteral("ALTER TABLE %1 ADD COLUMN %2").arg(loginHistoryTable, loginAttemptsColumn));
}

void drop(QSqlDatabase &db)
{
    SchemaVersion::drop(db);
    const QStringList present = db.tables();
    for (const QString &trail : {auditTable, loginHistoryTable}) {
        if (present.contains(trail, Qt::CaseInsensitive))
            execute(db, QStringLiteral("DROP TABLE %1").arg(trail));
    }
    const std::vector<TableDef> &all = tables();
    for (auto it = all.rbegin(); it != all.rend(); ++it) {
        if (present.contains(it->name, Qt::CaseInsensitive))
            execute(db, QStringLiteral("DROP TABLE %1").arg(it->name));
    }
}

} // namespace Schema
