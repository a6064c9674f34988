// The built-in puzzles by level, in list order. Each is a full solution grid;
// capitals are the givens.
#pragma once

inline constexpr const char *kBuiltinPuzzles[4][13] = {
    {
        "aEHgIbcFdiDceaFHgBgbfhdCeAIhfAibGdCEdiEAcHGbfBCgDfeAihFGdCeibhaCaIBhdfEgeHbfGaIDc",
        "GfdHEicaBAChgbDeifeibFaChDGDbGchFIEachFeIaGbdiAEBdgFhCFDiAcEbghbgaIfhdCEHecdGBafI",
        "hGibcEdaFAcBfDIehgeFdaHgBICbHfeiCgdAiEGdafCBhDacGbhiFeCDAhGbfEigbeIFaHcDFihCedaGb",
        "eABigdCHfhDGcFBaeIicfEhaBgDCfAGeIhdbbGeDcHiFadhiAbFGcEFeCbaGdihGbdHIeFAcaIHfdcEBg",
        "bfGiecDhaHaeGfDbcIcIdAhBfEgfDihBgeAcAhBecfIgDeGcdIahFbgChFdIaBeDbfCaEgiHieAbghCdf",
        "cHbAgEfDidFaihbeGcGiedCfbaHFedHbCgiAHgIedaCbFBacFiGdhEIbhcEdafGaCgbfhiEdeDfGaIhCb",
        "bgaiecfdHhdiGBfCeaCFehdABgIdeGafHIbcAbcDgIhfEfiHEcbDagEcDFigaHBihFbAEgcdGabchdeif",
        "fhgAdbCEiBediFcghaAiCgEhDbfdcbEaGifHhFAcidEGbIgeBhFacdcaFdBeHiGebihGafdCgDHfcIbae",
    },
    {
        "FdiHbCgaEhbAEgDIfcGceaifbhDiHfbDaeCgEabiCgfdHdGcfEhaIbBfhcaedgIciGDfBHeaAedGhIcbF",
        "dGafHebicCIhDbgefafbEIcaGdhbEicaFhgdHCgbidfAEadfGehiCbihDefCAbgefcagBdHIgabhDicEf",
        "fDGicbAHebahgEdfCIiceHFadbgagbehICdfHEcbdfiGAdiFCagbehchdfIEgabGFadBheiceBIagcHFd",
        "eacBHgfIdbgFicDehAiDhaefBgchFBDgaIcegeaCfIdbhdcIhbEGAfaiGfdchEbCbdEihAfgfHegABcdi",
        "dIacbHGfEHBeafgcdigfCiEdahbeHDgcbiafBaiDhFegCfcgeaiHBdadhfIeBcgigbhdcfEACeFBgadIh",
        "eHcFDgaibdgiahBcFefbAicEHGdadHcbifeGbCGefhDAiIfedgaBchcEFBidGhagAbHefidchidgACeBf",
        "fhdGcbeaIcaGeHIbfDiEbdfAhgcbFhcEgIDadgaiBhcefeCIfAdgHbgifBdeaChAdeHIcFbgHbcagFdie",
        "bGhfeicADfeaGDchbiIcdHbafeGHBfeGdicaeicBaFdghdagiChbFEAfedhBgiCgdbcIEahfCHiafgeDb",
        "AibehfdcGGEDbciHaFcFhAdgiebHbgfaDCieeafCiBghddcIGehfbAihadfEbGcBdCigaEFHFgehbcadI",
        "BighcefaDhFcAiDgEbedAfbgIhcCBeiHadGFihdBgFaceGAfdEcbIHdgHefiCbafEiCaBhDgAcbgdhefI",
        "aifgdCEbhghDbEiaCfebcFaHiGdcAgehfdIbfDHAiBGEciEbdcghFahGiCbDfaedCeiFaBhgbfAHgecdi",
        "EhbaCgFiDcadFibHegIGfehdbacdieCbFgHaFchgaidbEaBgDeHicfhfabdceGIbdCigEafhGeIhFacdB",
        "BiaChedgFgcfibdaEhedHgaFcIbIhgDfaBcedfBeicGhaaeCbgHfdIcGiAebHfdhAefdgibcFbdhcIeaG",
    },
    {
        "ACehGidFBFbHedcAiGgidabfcheEdaBhGfcIiHfceagBdCgbIfDeaHbacdiehgfHeGfcbIdADFigAhbEC",
        "gehFIbcadAbdegcHfIfIchaDbgEdfGabHeiCicBgDeAhfHaeIcfGdbEdaBhifCgCgFdeaibHbhicFGdea",
        "fACDegHbiDghbIcEafbEiFhacgdIhfegdbcagBdCaIfHeecahfbidGadbicEgFhhiGaBfdeCcfEgdHAIb",
        "aCdFGIbHehbfeacigdgIEdhbFCaBgaIcHedFefhgbdaicCdiAeFhbGiAChfgDEbdebciagfhfHgBDEcAi",
        "abhfDceGiFdeigBAchGiCAehfbdcadhfGbiEHEgbIdcFAIfbEcahdgecidaFGhBbgAChideFdHfgBeiac",
        "IedcghBfabfGEaiCdhAChbdfeGIfHcdiGabeeDbAhCfIggiaFbedHcHAegfbiCDcgFieDHabdbIhcageF",
        "cbHfgaedIdiaEBhCgfGeFDcihbabFciAeghDehgBdFiacIadgHcfEbfgiaeDBcHacBhIGdfeHdecfbAig",
        "biGFehAdcDcagbiefHFheCDabgihAFBgcdiEcgidaehbfEdbhiFGCagfceHDiaBIedacbfhGabHifGCed",
        "haGCdebfiefchBIAdGdibaFgEchbCfgidhEAaDEfhbGIcGHieacdBffbAiEhcgdIgDBCafhecehdgFIab",
    },
    {
        "DgeabfichihBCedgFAcafHgidBEGidFHebAcbfcDiAehgaEhgCBfiDEBaidHcgfFCieaGHdbhdgbfcaeI",
        "EbgiCAfhDDAchfgiebhifdEbGcafHbGAdCIecdaeifbghgEIbHCdAfifHcBeadgbgeadihFCAcdFGhebI",
        "dGibcheFahbAedfCgiEfcgIabhDidGAhCFebAebFgDhiCfcHIbEDagGifcEbadHbaDhfgIcecHedaigBf",
        "hCbeDfagiaeGBciFhDIDfAhGcbefadgbHeiCgBcdiehAfEihCfagdbdheIaCbFGBgAfeDIchcfihGbdEa",
        "fDgheaCIbcaibfdeHghebIGCDAfAchgdBfeibGeFhIaDcdifAcegbHgHDEBFicaeBacighfdiFCdahbGe",
        "FHibeGdcadbAfICgehgEcadhiFBhfdgbacIEiaeCfDbhgCGbehifadBDfhceaGieigDAfHbcachIgbeDF",
    },
};
inline constexpr int kBuiltinCounts[4] = {8, 13, 9, 6};
