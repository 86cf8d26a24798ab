#include "statements/HandoffStatements.h"

#include "statements/SqlValues.h"
#include "statements/WorkingTableStatements.h"

namespace editor {

std::string intermediariesCountQuery(const std::string& db, const std::string& company, int tipoCf) {
    return std::string("  SELECT COUNT(1)") + "  FROM   " + databasePrefix(db) + "CG40_ANADITTAINTER WITH(NOLOCK)" +
           "  WHERE  CG40_DITTA_CG18 = " + bareValue(company) + "    AND  CG40_TIPOCF = " + std::to_string(tipoCf);
}

namespace {
std::string existsForSign(bool cons, const std::string& r, const std::string& structure, int sign) {
    std::string s = std::string(sign == 1 ? "    AND (  EXISTS (SELECT 1" : "       OR  EXISTS (SELECT 1");
    if (cons) {
        s += std::string("                       FROM   CGB4_CORRINTERMEDICONS WITH(NOLOCK)") +
             "                       WHERE  CGB4_CODICE_CGC0 = " + structure +
             "                         AND  CGB4_TIPOCF_CG40 = CG40_TIPOCF" +
             "                         AND  CGB4_INTERMEDIO_CG40 = CG40_INTERMEDIO" +
             "                         AND  CGB4_CODICE_PC01 = " + r + "                         AND  CGB4_INDSEGNO = " +
             std::to_string(sign) + ")";
    } else {
        s += std::string("                       FROM   CG93_CORRINTERMEDIRICL WITH(NOLOCK)") +
             "                       WHERE  CG40_DITTA_CG18 = CG93_DITTA_CG18" +
             "                         AND  CG40_TIPOCF = CG93_TIPOCF_CG40" +
             "                         AND  CG40_INTERMEDIO = CG93_INTERMEDIO_CG40" +
             "                         AND  CG93_CODICE_PC01 = " + r + "                         AND  CG93_INDSEGNO = " +
             std::to_string(sign) + ")";
    }
    return s;
}
}  // namespace

std::string correlatedIntermediariesCountQuery(bool cons, const std::string& db, const std::string& company, int tipoCf,
                                               const std::string& reclChart, const std::string& structure) {
    const std::string r = bareValue(reclChart);
    const std::string i = bareValue(structure);
    return intermediariesCountQuery(db, company, tipoCf) + existsForSign(cons, r, i, 1) +
           existsForSign(cons, r, i, 2) + "        )" + " AND CG40_INTERMEDIO <> 0";
}

}  // namespace editor
