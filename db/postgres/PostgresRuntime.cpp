#include "db/postgres/PostgresRuntime.h"

namespace db::postgres {

namespace {

// The messages are SQL Server's, so that a caller sees the same text on both targets.
const std::vector<std::string> kRuntime = {
    "CREATE COLLATION IF NOT EXISTS tsql (provider = icu, locale = 'und-u-ks-level2', deterministic = false)",

    // A table function's text results carry the collation through this domain.
    "DO $$ BEGIN CREATE DOMAIN tsql_text AS bpchar COLLATE tsql; EXCEPTION WHEN duplicate_object THEN NULL; END $$",

    "CREATE OR REPLACE FUNCTION tsql_left(s text, n bigint) RETURNS text LANGUAGE plpgsql IMMUTABLE STRICT AS $$\n"
    "BEGIN\n"
    "  IF n < 0 THEN RAISE EXCEPTION 'Invalid length parameter passed to the left function.'; END IF;\n"
    "  RETURN left(s, n::int);\n"
    "END $$",

    "CREATE OR REPLACE FUNCTION tsql_right(s text, n bigint) RETURNS text LANGUAGE plpgsql IMMUTABLE STRICT AS $$\n"
    "BEGIN\n"
    "  IF n < 0 THEN RAISE EXCEPTION 'Invalid length parameter passed to the right function.'; END IF;\n"
    "  RETURN CASE WHEN n = 0 THEN '' ELSE right(s, n::int) END;\n"
    "END $$",

    // Positions before 1 take up part of the length, as in T-SQL.
    "CREATE OR REPLACE FUNCTION tsql_substring(s text, start bigint, len bigint) RETURNS text LANGUAGE plpgsql "
    "IMMUTABLE STRICT AS $$\n"
    "BEGIN\n"
    "  IF len < 0 THEN RAISE EXCEPTION 'Invalid length parameter passed to the substring function.'; END IF;\n"
    "  IF start + len <= greatest(start, 1) THEN RETURN ''; END IF;\n"
    "  RETURN substr(s, greatest(start, 1)::int, (start + len - greatest(start, 1))::int);\n"
    "END $$",

    "CREATE OR REPLACE FUNCTION tsql_len(s text) RETURNS bigint LANGUAGE sql IMMUTABLE STRICT AS "
    "$$ SELECT char_length(rtrim(s, ' '))::bigint $$",
    "CREATE OR REPLACE FUNCTION tsql_len(n numeric) RETURNS bigint LANGUAGE sql IMMUTABLE STRICT AS "
    "$$ SELECT char_length(n::text)::bigint $$",

    // CAST(x AS [N]VARCHAR(n)), n = -1 for MAX: text cut to n characters; a number that does not
    // fit raises an error for NVARCHAR and gives '*' for VARCHAR.
    // Not STRICT (a NULL gives NULL all the same): PostgreSQL then inlines them into the query
    // instead of calling a function per value, which costs seconds on a large working table.
    "CREATE OR REPLACE FUNCTION tsql_nvarchar(s text, n integer) RETURNS text LANGUAGE sql IMMUTABLE AS "
    "$$ SELECT CASE WHEN n < 0 THEN s ELSE left(s, n) END $$",
    "CREATE OR REPLACE FUNCTION tsql_varchar(s text, n integer) RETURNS text LANGUAGE sql IMMUTABLE AS "
    "$$ SELECT CASE WHEN n < 0 THEN s ELSE left(s, n) END $$",
    "CREATE OR REPLACE FUNCTION tsql_nvarchar(x numeric, n integer) RETURNS text LANGUAGE plpgsql IMMUTABLE STRICT AS $$\n"
    "BEGIN\n"
    "  IF n >= 0 AND char_length(x::text) > n THEN\n"
    "    RAISE EXCEPTION 'Arithmetic overflow error converting expression to data type nvarchar.';\n"
    "  END IF;\n"
    "  RETURN x::text;\n"
    "END $$",
    "CREATE OR REPLACE FUNCTION tsql_varchar(x numeric, n integer) RETURNS text LANGUAGE sql IMMUTABLE STRICT AS "
    "$$ SELECT CASE WHEN n >= 0 AND char_length(x::text) > n THEN '*' ELSE x::text END $$",

    // CAST(x AS DECIMAL(p, s)): rounded half away from zero to s places.
    "CREATE OR REPLACE FUNCTION tsql_decimal(x numeric, p integer, s integer) RETURNS numeric LANGUAGE plpgsql "
    "IMMUTABLE STRICT AS $$\n"
    "DECLARE r numeric := round(x, s);\n"
    "BEGIN\n"
    "  IF abs(r) >= 10::numeric ^ (p - s) THEN\n"
    "    RAISE EXCEPTION 'Arithmetic overflow error converting numeric to data type numeric.';\n"
    "  END IF;\n"
    "  RETURN r;\n"
    "END $$",
    "CREATE OR REPLACE FUNCTION tsql_decimal(x text, p integer, s integer) RETURNS numeric LANGUAGE plpgsql "
    "IMMUTABLE STRICT AS $$\n"
    "BEGIN\n"
    "  IF btrim(x, E' \\t') !~ '^[+-]?([0-9]+\\.?[0-9]*|\\.[0-9]+)$' THEN\n"
    "    RAISE EXCEPTION 'Error converting data type nvarchar to numeric.';\n"
    "  END IF;\n"
    "  RETURN tsql_decimal(btrim(x, E' \\t')::numeric, p, s);\n"
    "END $$",

    // CAST(x AS TINYINT/SMALLINT/INT/BIGINT), the size in bytes as second argument: decimals are
    // truncated toward zero; text must hold an integer ('' is 0).
    "CREATE OR REPLACE FUNCTION tsql_int(x numeric, bytes integer) RETURNS bigint LANGUAGE plpgsql IMMUTABLE STRICT AS $$\n"
    "DECLARE t numeric := trunc(x);\n"
    "BEGIN\n"
    "  IF (bytes = 1 AND (t < 0 OR t > 255)) OR (bytes = 2 AND (t < -32768 OR t > 32767))\n"
    "     OR (bytes = 4 AND (t < -2147483648 OR t > 2147483647))\n"
    "     OR (bytes = 8 AND (t < -9223372036854775808 OR t > 9223372036854775807)) THEN\n"
    "    RAISE EXCEPTION 'Arithmetic overflow error converting expression to data type %.',\n"
    "      CASE bytes WHEN 1 THEN 'tinyint' WHEN 2 THEN 'smallint' WHEN 8 THEN 'bigint' ELSE 'int' END;\n"
    "  END IF;\n"
    "  RETURN t::bigint;\n"
    "END $$",
    "CREATE OR REPLACE FUNCTION tsql_int(x text, bytes integer) RETURNS bigint LANGUAGE plpgsql IMMUTABLE STRICT AS $$\n"
    "DECLARE v text := btrim(x, E' \\t');\n"
    "BEGIN\n"
    "  IF v = '' THEN RETURN 0; END IF;\n"
    "  IF v !~ '^[+-]?[0-9]+$' THEN\n"
    "    RAISE EXCEPTION 'Conversion failed when converting the nvarchar value ''%'' to data type %.', x,\n"
    "      CASE bytes WHEN 1 THEN 'tinyint' WHEN 2 THEN 'smallint' WHEN 8 THEN 'bigint' ELSE 'int' END;\n"
    "  END IF;\n"
    "  RETURN tsql_int(v::numeric, bytes);\n"
    "END $$",

    // a + b when the text alone does not tell text from number: text + text concatenates; with
    // a number involved the text side is converted to a number (T-SQL's type precedence).
    "CREATE OR REPLACE FUNCTION tsql_plus(a text, b text) RETURNS text LANGUAGE sql IMMUTABLE STRICT AS "
    "$$ SELECT a || b $$",
    "CREATE OR REPLACE FUNCTION tsql_plus(a numeric, b numeric) RETURNS numeric LANGUAGE sql IMMUTABLE STRICT AS "
    "$$ SELECT a + b $$",
    "CREATE OR REPLACE FUNCTION tsql_number(x text) RETURNS numeric LANGUAGE plpgsql IMMUTABLE STRICT AS $$\n"
    "BEGIN\n"
    "  IF btrim(x, E' \\t') !~ '^[+-]?([0-9]+\\.?[0-9]*|\\.[0-9]+)$' THEN\n"
    "    RAISE EXCEPTION 'Conversion failed when converting the nvarchar value ''%'' to data type int.', x;\n"
    "  END IF;\n"
    "  RETURN btrim(x, E' \\t')::numeric;\n"
    "END $$",
    "CREATE OR REPLACE FUNCTION tsql_plus(a numeric, b text) RETURNS numeric LANGUAGE sql IMMUTABLE STRICT AS "
    "$$ SELECT a + tsql_number(b) $$",
    "CREATE OR REPLACE FUNCTION tsql_plus(a text, b numeric) RETURNS numeric LANGUAGE sql IMMUTABLE STRICT AS "
    "$$ SELECT tsql_number(a) + b $$",

    // Floating-point values convert as their numeric value.
    "CREATE OR REPLACE FUNCTION tsql_nvarchar(x double precision, n integer) RETURNS text LANGUAGE sql IMMUTABLE "
    "STRICT AS $$ SELECT tsql_nvarchar(x::numeric, n) $$",
    "CREATE OR REPLACE FUNCTION tsql_varchar(x double precision, n integer) RETURNS text LANGUAGE sql IMMUTABLE "
    "STRICT AS $$ SELECT tsql_varchar(x::numeric, n) $$",
    "CREATE OR REPLACE FUNCTION tsql_decimal(x double precision, p integer, s integer) RETURNS numeric LANGUAGE sql "
    "IMMUTABLE STRICT AS $$ SELECT tsql_decimal(x::numeric, p, s) $$",
    "CREATE OR REPLACE FUNCTION tsql_int(x double precision, bytes integer) RETURNS bigint LANGUAGE sql IMMUTABLE "
    "STRICT AS $$ SELECT tsql_int(x::numeric, bytes) $$",
    "CREATE OR REPLACE FUNCTION tsql_len(x double precision) RETURNS bigint LANGUAGE sql IMMUTABLE STRICT AS "
    "$$ SELECT tsql_len(x::numeric) $$",

    // LIKE under SQL Server's default collation: case-insensitive, accents kept. PostgreSQL
    // refuses LIKE under a nondeterministic collation: both sides are upper-cased and compared
    // as bytes.
    "CREATE OR REPLACE FUNCTION tsql_like(s text, pattern text) RETURNS boolean LANGUAGE sql IMMUTABLE AS "
    "$$ SELECT upper(s COLLATE tsql) COLLATE \"C\" LIKE upper(pattern COLLATE tsql) COLLATE \"C\" $$",
    "CREATE OR REPLACE FUNCTION tsql_like(s text, pattern text, escape text) RETURNS boolean LANGUAGE sql IMMUTABLE AS "
    "$$ SELECT upper(s COLLATE tsql) COLLATE \"C\" LIKE upper(pattern COLLATE tsql) COLLATE \"C\" ESCAPE escape $$",
};

}  // namespace

const std::vector<std::string>& postgresRuntimeStatements() { return kRuntime; }

}  // namespace db::postgres
