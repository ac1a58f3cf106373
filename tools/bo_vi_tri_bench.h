// The fixed benchmark suite: openings, middlegames and endgames from real
// play, given as FEN. Its node count at the bench depth is a signature.
#pragma once

struct ViTriBench {
    const char* giaiDoan;
    const char* fen;
};

inline constexpr ViTriBench BO_VI_TRI_BENCH[] = {
    {"khai cuộc", "rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR w"},
    {"khai cuộc", "r1baka1nr/9/2n1b2c1/p1p1p3p/1c4p2/P6C1/2P1P1P1P/2C3N2/9/RNBAKAB1R w"},
    {"khai cuộc", "rnb1kab1r/4a4/3c2n2/pCp1p1p1p/7c1/9/P1P1P1P1P/2N1B1NC1/9/R2AKAB1R w"},
    {"khai cuộc", "r1bak1bnr/4a4/1cn6/p1p1p2cp/6p2/P8/2P1P1P1P/1CC1B4/4A4/RN2KABNR w"},
    {"khai cuộc", "rnbak1b1r/4a4/6nc1/p1p1p1pCp/7c1/6P1P/P1P1P4/1C7/4A4/RNBAK1BNR w"},
    {"trung cuộc", "r1baka1nr/9/4b4/p2Cp3p/2p2Pp2/P8/2n3c1P/2C1B1N2/4A4/RN1AK1B1R w"},
    {"trung cuộc", "r1b1kabr1/4a4/nC4n2/p1p1p1p1p/c8/2C3P1P/P1P1P4/2N1B1c1R/4A4/R3KAB2 w"},
    {"trung cuộc", "2bakr3/r3a1n2/2n1b4/2p1p2cp/p5p2/cCP5P/4P1P2/3CB3N/4A4/RN2KABR1 w"},
    {"trung cuộc", "2bak3r/4a4/2n1b1nc1/p1p1p1pCp/9/P1P2NP1P/4P4/1r2B2cR/4AC3/RNBAK4 w"},
    {"trung cuộc", "1rb1kabr1/4a4/nC4n2/p1p1p1C1p/3c5/P3P3P/2P3PR1/2c1B4/4A4/1RBAK2N1 w"},
    {"trung cuộc", "3aka2r/1r3n3/cCn1b3b/1Rp1p1p1p/p8/2P5P/P3P1P2/2N4c1/4C4/2BAKABNR w"},
    {"trung cuộc", "2baka1n1/3C5/r8/p7p/2p1pNb2/P4n2P/5cp2/N1C1B4/4A4/R2AK1B2 w"},
    {"trung cuộc", "r3kab2/4a4/nC2b4/pRp1p3p/5nc2/P3CR3/2P1P1r2/2N4c1/4A4/2B1KAB2 w"},
    {"trung cuộc", "2bak1c2/4a4/2n1br3/2p2nR1p/p6r1/cCP1p2pP/R3P4/2N1B1N2/4A4/3CKAB2 w"},
    {"trung cuộc", "3ak4/4a4/b1n3n1r/p1p1p2Rp/6b2/P1P2CB1P/1r2P4/2N1B4/4A4/R2AK4 w"},
    {"trung cuộc", "1rb1kabC1/4a4/nC7/pRp5p/4N1n2/P8/2P6/4BA3/2c2c3/2BAK4 w"},
    {"tàn cuộc", "3akn3/5c3/9/p7p/4p1b2/P1R3B1P/2N1pn3/5r3/3CK4/3A2B2 w"},
    {"tàn cuộc", "R2akab2/1C7/4b4/9/2p1P1c1p/1p7/7c1/4B4/N2rA4/4KAB2 w"},
    {"tàn cuộc", "3ak4/nR2a4/b1n1b4/2C6/p3P2r1/c2C3pp/5r3/2N1B1N2/4A4/4KAB2 w"},
    {"tàn cuộc", "3ak4/9/3abC1R1/3Np2r1/2b2n2p/R5B1P/2r6/4B4/4A4/3AK4 w"},
    {"tàn cuộc", "2b1ka3/4a4/n4r3/p7p/2b1N4/P8/4C4/8B/4A4/2BAK4 w"},
    {"tàn cuộc", "2bak2r1/c3a4/4b4/2P1R4/6P1R/9/P3P4/1n6N/4A4/4KAB2 w"},
    {"trung cuộc", "1nbakab1r/r8/1c5cn/p1p1p1p1p/9/6P2/P1P1P3P/1C2C1N2/9/RNBAKAB1R b"},
    {"trung cuộc", "r1ba1a3/4kn3/2n1b4/pNp1p1p1p/4c4/6P2/P1P2R2P/1CcC5/9/2BAKAB2 w"},
    {"tàn cuộc", "3ak4/4a4/9/4C4/9/9/9/9/4p4/3K5 w"},
    {"tàn cuộc", "2bak4/4a4/4b4/2p1C1p2/9/2P1c1P2/9/4B4/4A4/3AK1B2 w"},
};
