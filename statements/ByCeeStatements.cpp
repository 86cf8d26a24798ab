#include "statements/ByCeeStatements.h"

#include <array>

namespace bycee {

namespace {

// The merge of the derived correlations, after the four variable declarations.
const std::array<const char*, 91> kMergeLines = {
    "; ",
    "DECLARE @MyVarTable Table (  MVT_Action          nvarchar(10) ",
    "                           , MVT_CODICE_CG10     tinyint ",
    "                           , MVT_CONTO_CG24      nvarchar(10) ",
    "                           , MVT_CODICERICL_PC01 smallint ",
    "                           , MVT_CONTORICL_PC03  nvarchar(15) ",
    "                           , MVT_INDSEGNO        tinyint ",
    "                           ) ",
    "; ",
    "WITH STD_PDC_CEE_BI AS ",
    "    ( SELECT  ",
    "          CG20_GRUPPO_CG10 ",
    "        , CG20_CONTO_CG24 ",
    "        , CG20_INDSEGNO ",
    "        , CG20_CODICE_CG21 ",
    "        , CG20_CODICE_CG23 ",
    "        , CG83_CODICERICL_PC01 ",
    "        , CG83_CONTORICL_PC03   ",
    "      FROM CG20_COLLPDCRICL WITH(NOLOCK)                   --' Riclassificati CEE ' ",
    "      LEFT OUTER JOIN CG83_COLLRICL WITH(NOLOCK)           --' Riclassificati BI  ' ",
    "              ON CG83_CODICE_CG10    = CG20_GRUPPO_CG10 ",
    "             AND CG83_CONTO_CG24     = CG20_CONTO_CG24 ",
    "             AND CG83_INDSEGNO       = CG20_INDSEGNO  ",
    "             AND CG83_CODICERICL_PC01 = @BI_Std ",
    "      WHERE CG20_GRUPPO_CG10 = @Pdc_Std ",
    "        AND CG20_CODICE_CG21 = @CEE_Std ",
    "    ) ",
    ", STD_CEE_RELAZ_BI AS ",
    "    ( SELECT  ",
    "          CG20_CODICE_CG21            AS REL_CODICE_CG21 ",
    "        , CG20_CODICE_CG23            AS REL_CODICE_CG23 ",
    "        , CG20_INDSEGNO               AS REL_SEGNO ",
    "        , CG83_CODICERICL_PC01        AS REL_CODICERICL_PC01 ",
    "        , MIN(CG83_CONTORICL_PC03)    AS REL_CONTORICL_PC03   ",
    "      FROM STD_PDC_CEE_BI ",
    "      WHERE CG83_CODICERICL_PC01 IS NOT NULL ",
    "      GROUP BY  ",
    "          CG20_CODICE_CG21 ",
    "        , CG20_CODICE_CG23 ",
    "        , CG20_INDSEGNO ",
    "        , CG83_CODICERICL_PC01 ",
    "    ) ",
    ", ELAB_PDC_RELAZ_BI AS ",
    "    ( SELECT  ",
    "          CG20_GRUPPO_CG10 ",
    "        , CG20_CONTO_CG24 ",
    "        , CG20_INDSEGNO ",
    "        , CG20_CODICE_CG21 ",
    "        , CG20_CODICE_CG23 ",
    "        , REL_CODICERICL_PC01 ",
    "        , REL_CONTORICL_PC03 ",
    "      FROM CG20_COLLPDCRICL WITH(NOLOCK) ",
    "      INNER JOIN STD_CEE_RELAZ_BI ",
    "              ON REL_CODICE_CG21 = CG20_CODICE_CG21 ",
    "             AND REL_CODICE_CG23 = CG20_CODICE_CG23 ",
    "             AND REL_SEGNO = CG20_INDSEGNO ",
    "      WHERE CG20_GRUPPO_CG10 = @Pdc_Elab ",
    "        AND CG20_CODICE_CG21 = @CEE_Std ",
    "    ) ",
    "MERGE CG83_COLLRICL AS Target ",
    "USING ELAB_PDC_RELAZ_BI AS Source ",
    "   ON (     Target.CG83_CODICE_CG10 = Source.CG20_GRUPPO_CG10  ",
    "        AND Target.CG83_CONTO_CG24 = Source.CG20_CONTO_CG24  ",
    "        AND Target.CG83_CODICERICL_PC01 = Source.REL_CODICERICL_PC01 ",
    "        AND Target.CG83_INDSEGNO = Source.CG20_INDSEGNO ",
    "      ) ",
    "WHEN MATCHED THEN ",
    "    UPDATE SET Target.CG83_CONTORICL_PC03 = Source.REL_CONTORICL_PC03 ",
    "WHEN NOT MATCHED THEN ",
    "    INSERT (  CG83_CODICE_CG10 ",
    "            , CG83_CONTO_CG24 ",
    "            , CG83_CODICERICL_PC01 ",
    "            , CG83_CONTORICL_PC03 ",
    "            , CG83_INDSEGNO ",
    "           ) ",
    "    VALUES (  Source.CG20_GRUPPO_CG10 ",
    "            , Source.CG20_CONTO_CG24 ",
    "            , Source.REL_CODICERICL_PC01 ",
    "            , Source.REL_CONTORICL_PC03 ",
    "            , Source.CG20_INDSEGNO ",
    "           ) ",
    "    OUTPUT $action  ",
    "         , inserted.CG83_CODICE_CG10 ",
    "         , inserted.CG83_CONTO_CG24 ",
    "         , inserted.CG83_CODICERICL_PC01 ",
    "         , inserted.CG83_CONTORICL_PC03 ",
    "         , inserted.CG83_INDSEGNO ",
    "    INTO @MyVarTable ",
    "; ",
    "SELECT COUNT(*) AS ELABORATI FROM @MyVartable; ",
    "; "
};

// Standard CEE schemes, listed in the script for whoever reads it.
const char* const kSchemeComments[] = {
    "                           -- 82 = CEE Analitico post 30/09/2004",
    "                           -- 83 = CEE Sintetico post 30/09/2004",
    "                           -- 84 = CEE Accorpato post 30/09/2004",
    "                           -- 85 = CEE Analitico XBRL",
    "                           -- 86 = CEE Sintetico XBRL",
    "                           -- 87 = CEE Accorpato XBRL",
    "                           -- 88 = CEE Analitico Tassonomia 2015",
    "                           -- 89 = CEE Abbreviato",
    "                           -- 90 = CEE Analitico Tassonomia 2016",
    "                           -- 91 = CEE Abbreviato Tassonomia 2016",
    "                           -- 92 = CEE Micro Tassonomia 2016",
    "                           -- 93 = CEE Consolidato UE 2016/2017",
    "                           -- 94 = CEE Abbreviato UE 2017",
    "                           -- 95 = CEE Micro UE 2017",
};

std::string joinWithCr(const std::vector<std::string>& lines) {
    std::string out;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        out += lines[i];
        if (i + 1 < lines.size()) out += '\r';
    }
    return out;
}

}  // namespace

std::string pdcCorrelatedWithCeeQuery(int pdc, int cee) {
    const char* const lines[] = {
    "DECLARE @PdcCodice AS TinyInt = ",
    "      , @CeeCodice AS TinyInt = ",
    "; ",
    "SELECT TOP(1) ",
    "    CG20_COLLPDCRICL.CG20_GRUPPO_CG10 ",
    "  , CG20_COLLPDCRICL.CG20_CONTO_CG24 ",
    "  , CG20_COLLPDCRICL.CG20_CODICE_CG21 ",
    "  , CG20_COLLPDCRICL.CG20_CODICE_CG23 ",
    "  , CG20_COLLPDCRICL.CG20_INDSEGNO ",
    "  , CG20_COLLPDCRICL.CG20_IDMEDIA_CG99 ",
    "FROM CG20_COLLPDCRICL WITH(NOLOCK) ",
    "WHERE CG20_GRUPPO_CG10 = @PdcCodice ",
    "  AND CG20_CODICE_CG21 = @CeeCodice ",
    "; "
    };
    std::vector<std::string> v(std::begin(lines), std::end(lines));
    v[0] += std::to_string(pdc);
    v[1] += std::to_string(cee);
    return joinWithCr(v);
}

std::string bulkCorrelationScript(int pdcStd, int pdcElab, int ceeStd, int biStd) {
    std::vector<std::string> v = {
        "/* ",
        "   Correla un piano dei conti non standard (@Pdc_Elab) con i Bilanci Infrannuali standard (@BI_Std)",
        "   attraverso uno schema di bilancio CEE standard (@CEE_Std).",
        "   Premessa: il piano dei conti non standard deve essere gia' correlato con lo schema CEE.",
        "*/ ",
        "SET NOCOUNT ON ",
        "; ",
        "DECLARE @Pdc_Std    tinyint  = " + std::to_string(pdcStd) + " -- piano dei conti standard",
        "      , @Pdc_Elab   tinyint  = " + std::to_string(pdcElab) + " -- piano dei conti da correlare",
        "      , @BI_Std     smallint = " + std::to_string(biStd) + " -- piano Bilanci Infrannuali standard",
        "      , @CEE_Std    tinyint  = " + std::to_string(ceeStd) + " -- schema di bilancio CEE standard",
    };
    for (const char* c : kSchemeComments) v.emplace_back(c);
    for (const char* l : kMergeLines) v.emplace_back(l);
    return joinWithCr(v);
}

}  // namespace bycee
