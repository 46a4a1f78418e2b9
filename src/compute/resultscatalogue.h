#pragma once
// The results catalogue: every quantity the model derives, in catalogue
// order. X(member, "name", kind, unit, stage): kinds numpar (scalar), numpars
// (per region), numparss (per region pair); unit UNIT("text"), or SUBUNIT(member) for
// the results that take name and unit from the substance parameter of the
// same name; stage tells which calculation stage computes it (landscape,
// partitioning, degradation, transfer, flows, exposure, risk).
// clang-format off
#define VELMORA_RESULTS_CATALOGUE(X) \
    X(ACTCOEFF, "ACTCOEFF", numpar, UNIT("-"), partitioning) \
    X(FREEIONseawater, "FREEIONseawater", numpars, UNIT("-"), partitioning) \
    X(VP, "VP", numpars, UNIT("Pa"), partitioning) \
    X(K_airwater, "K_airwater", numpars, SUBUNIT(K_airwater), partitioning) \
    X(Kp_soil, "Kp_soil", numpars, SUBUNIT(Kp_soil), partitioning) \
    X(Kp_sed, "Kp_sed", numpars, SUBUNIT(Kp_sed), partitioning) \
    X(Kp_susp, "Kp_susp", numpars, SUBUNIT(Kp_susp), partitioning) \
    X(Kp_seased, "Kp_seased", numpars, UNIT("m^3*kg^-1"), partitioning) \
    X(Kp_seasusp, "Kp_seasusp", numpars, UNIT("m^3*kg^-1"), partitioning) \
    X(Fass_aer, "Fass_aer", numpars, SUBUNIT(Fass_aer), partitioning) \
    X(SCAVratio, "SCAVratio", numpars, UNIT("-"), partitioning) \
    X(K_soilwater, "K_soilwater", numpars, UNIT("m^3 water*m^-3 wet soil"), partitioning) \
    X(K_agrwater, "K_agrwater", numpars, UNIT("m^3 water*m^-3 wet soil"), partitioning) \
    X(K_nonagrwater, "K_nonagrwater", numpars, UNIT("m^3 water*m^-3 wet soil"), partitioning) \
    X(K_deepsoilwater, "K_deepsoilwater", numpars, UNIT("m^3 water*m^-3 wet soil"), partitioning) \
    X(K_sedwater, "K_sedwater", numpars, UNIT("m^3 water*m^-3 wet sed"), partitioning) \
    X(K_seasedseawater, "K_seasedseawater", numpars, UNIT("m^3 water*m^-3 wet sed"), partitioning) \
    X(K_airagr, "K_airagr", numpars, UNIT("m^3 wet soil*m^-3 air"), partitioning) \
    X(K_airnonagr, "K_airnonagr", numpars, UNIT("m^3 wet soil*m^-3 air"), partitioning) \
    X(Fdiss_inlandwater, "Fdiss_inlandwater", numpars, UNIT("-"), partitioning) \
    X(Fdiss_seawater, "Fdiss_seawater", numpars, UNIT("-"), partitioning) \
    X(Fdiss_soil, "Fdiss_soil", numpars, UNIT("-"), partitioning) \
    X(Fdiss_agr, "Fdiss_agr", numpars, UNIT("-"), partitioning) \
    X(Fdiss_nonagr, "Fdiss_nonagr", numpars, UNIT("-"), partitioning) \
    X(Fdiss_deepsoil, "Fdiss_deepsoil", numpars, UNIT("-"), partitioning) \
    X(Fdiss_sed, "Fdiss_sed", numpars, UNIT("-"), partitioning) \
    X(Fdiss_seased, "Fdiss_seased", numpars, UNIT("-"), partitioning) \
    X(BCF_fish, "BCF_fish", numpars, SUBUNIT(BCF_fish), partitioning) \
    X(BCFsoil_leafcrops, "BCFsoil_leafcrops", numpars, SUBUNIT(BCFsoil_leafcrops), partitioning) \
    X(BCFair_leafcrops, "BCFair_leafcrops", numpars, SUBUNIT(BCFair_leafcrops), partitioning) \
    X(BCF_rootcrops, "BCF_rootcrops", numpars, SUBUNIT(BCF_rootcrops), partitioning) \
    X(BCF_meat, "BCF_meat", numpars, SUBUNIT(BCF_meat), partitioning) \
    X(BCF_milk, "BCF_milk", numpars, SUBUNIT(BCF_milk), partitioning) \
    X(DT50bio_freshwater_TEMPtest, "DT50bio_freshwater_TEMPtest", numpar, SUBUNIT(DT50bio_freshwater_TEMPtest), degradation) \
    X(DT50bio_freshwater, "DT50bio_freshwater", numpars, UNIT("s"), degradation) \
    X(DT50bio_saltlake, "DT50bio_saltlake", numpars, UNIT("s"), degradation) \
    X(DT50bio_seawater_TEMPtest, "DT50bio_seawater_TEMPtest", numpar, SUBUNIT(DT50bio_seawater_TEMPtest), degradation) \
    X(DT50bio_seawater, "DT50bio_seawater", numpars, UNIT("s"), degradation) \
    X(DT50aerbio_sed_TEMPtest, "DT50aerbio_sed_TEMPtest", numpars, SUBUNIT(DT50aerbio_sed_TEMPtest), degradation) \
    X(DT50aerbio_sed, "DT50aerbio_sed", numpars, UNIT("s"), degradation) \
    X(DT50abio_saltlakesed, "DT50abio_saltlakesed", numpars, SUBUNIT(DT50abio_saltlakesed), degradation) \
    X(DT50aerbio_saltlakesed, "DT50aerbio_saltlakesed", numpars, SUBUNIT(DT50aerbio_saltlakesed), degradation) \
    X(DT50anaerbio_saltlakesed, "DT50anaerbio_saltlakesed", numpar, SUBUNIT(DT50anaerbio_saltlakesed), degradation) \
    X(DT50abio_seased, "DT50abio_seased", numpars, SUBUNIT(DT50abio_seased), degradation) \
    X(DT50aerbio_seased_TEMPtest, "DT50aerbio_seased_TEMPtest", numpars, SUBUNIT(DT50aerbio_seased_TEMPtest), degradation) \
    X(DT50aerbio_seased, "DT50aerbio_seased", numpars, UNIT("s"), degradation) \
    X(DT50anaerbio_seased, "DT50anaerbio_seased", numpars, SUBUNIT(DT50anaerbio_seased), degradation) \
    X(DT50bio_soil_TEMPtest, "DT50bio_soil_TEMPtest", numpars, SUBUNIT(DT50bio_soil_TEMPtest), degradation) \
    X(DT50bio_soil, "DT50bio_soil", numpars, UNIT("s"), degradation) \
    X(DT50bio_agr, "DT50bio_agr", numpars, UNIT("s"), degradation) \
    X(DT50bio_nonagr, "DT50bio_nonagr", numpars, UNIT("s"), degradation) \
    X(DT50hydro_water, "DT50hydro_water", numpars, UNIT("s"), degradation) \
    X(kdeg_air, "kdeg_air", numpars, UNIT("s^-1"), degradation) \
    X(kbio_freshwater, "kbio_freshwater", numpars, UNIT("s^-1"), degradation) \
    X(kbio_saltlake, "kbio_saltlake", numpars, UNIT("s^-1"), degradation) \
    X(kbio_seawater, "kbio_seawater", numpars, UNIT("s^-1"), degradation) \
    X(khydro_inlandwater, "khydro_inlandwater", numpars, UNIT("s^-1"), degradation) \
    X(khydro_seawater, "khydro_seawater", numpars, UNIT("s^-1"), degradation) \
    X(kphoto_water, "kphoto_water", numpar, UNIT("s^-1"), degradation) \
    X(kdeg_freshwater, "kdeg_freshwater", numpars, UNIT("s^-1"), degradation) \
    X(kdeg_saltlake, "kdeg_saltlake", numpars, UNIT("s^-1"), degradation) \
    X(kdeg_seawater, "kdeg_seawater", numpars, UNIT("s^-1"), degradation) \
    X(kaerbio_sed, "kaerbio_sed", numpars, UNIT("s^-1"), degradation) \
    X(kaerbio_saltlakesed, "kaerbio_saltlakesed", numpars, UNIT("s^-1"), degradation) \
    X(kanaerbio_sed, "kanaerbio_sed", numpar, UNIT("s^-1"), degradation) \
    X(kanaerbio_saltlakesed, "kanaerbio_saltlakesed", numpars, UNIT("s^-1"), degradation) \
    X(kanaerbio_seased, "kanaerbio_seased", numpars, UNIT("s^-1"), degradation) \
    X(kabio_sed, "kabio_sed", numpar, UNIT("s^-1"), degradation) \
    X(kabio_saltlakesed, "kabio_saltlakesed", numpars, UNIT("s^-1"), degradation) \
    X(kabio_seased, "kabio_seased", numpars, UNIT("s^-1"), degradation) \
    X(kaerbio_seased, "kaerbio_seased", numpars, UNIT("s^-1"), degradation) \
    X(kdeg_sed, "kdeg_sed", numpars, UNIT("s^-1"), degradation) \
    X(kdeg_saltlakesed, "kdeg_saltlakesed", numpars, UNIT("s^-1"), degradation) \
    X(kdeg_seased, "kdeg_seased", numpars, UNIT("s^-1"), degradation) \
    X(kbio_agr, "kbio_agr", numpars, UNIT("s^-1"), degradation) \
    X(kbio_nonagr, "kbio_nonagr", numpars, UNIT("s^-1"), degradation) \
    X(kabio_soil, "kabio_soil", numpar, UNIT("s^-1"), degradation) \
    X(kdeg_agr, "kdeg_agr", numpars, UNIT("s^-1"), degradation) \
    X(kdeg_nonagr, "kdeg_nonagr", numpars, UNIT("s^-1"), degradation) \
    X(fac1a, "fac1a", numpar, UNIT("-"), degradation) \
    X(fac1b, "fac1b", numpar, UNIT("-"), degradation) \
    X(fac1c, "fac1c", numpar, UNIT("-"), degradation) \
    X(fac2a, "fac2a", numpar, UNIT("-"), degradation) \
    X(fac2b, "fac2b", numpar, UNIT("-"), degradation) \
    X(fac2c, "fac2c", numpar, UNIT("-"), degradation) \
    X(REEXPORT_freshwaterfish, "REEXPORT_freshwaterfish", numpars, UNIT("kg freshwater fish*d^-1"), exposure) \
    X(REEXPORT_leafcrops, "REEXPORT_leafcrops", numpars, UNIT("kg leaf crops*d^-1"), exposure) \
    X(REEXPORT_rootcrops, "REEXPORT_rootcrops", numpars, UNIT("kg root crops*d^-1"), exposure) \
    X(REEXPORT_meat, "REEXPORT_meat", numpars, UNIT("kg meat*d^-1"), exposure) \
    X(REEXPORT_dairy, "REEXPORT_dairy", numpars, UNIT("kg dairy*d^-1"), exposure) \
    X(PURFsys1, "PURFsys1", numpar, UNIT("-"), degradation) \
    X(PURFsys2, "PURFsys2", numpar, UNIT("-"), degradation) \
    X(PURFsurfacew, "PURFsurfacew", numpar, UNIT("-"), degradation) \
    X(PURFgroundw, "PURFgroundw", numpar, UNIT("-"), degradation) \
    X(CONVagr, "CONVagr", numpars, UNIT("kg wet soil*kg^-1 solid"), degradation) \
    X(DOSE_air, "DOSE_air", numpars, UNIT("kg chem*kg^-1 BW*d^-1"), exposure) \
    X(DOSE_drw, "DOSE_drw", numpars, UNIT("kg chem*kg^-1 BW*d^-1"), exposure) \
    X(DOSE_leafcrops, "DOSE_leafcrops", numpars, UNIT("kg chem*kg^-1 BW*d^-1"), exposure) \
    X(DOSE_rootcrops, "DOSE_rootcrops", numpars, UNIT("kg chem*kg^-1 BW*d^-1"), exposure) \
    X(DOSE_freshwaterfish, "DOSE_freshwaterfish", numpars, UNIT("kg chem*kg^-1 BW*d^-1"), exposure) \
    X(DOSE_seafish, "DOSE_seafish", numpars, UNIT("kg chem*kg^-1 BW*d^-1"), exposure) \
    X(DOSE_meat, "DOSE_meat", numpars, UNIT("kg chem*kg^-1 BW*d^-1"), exposure) \
    X(DOSE_dairy, "DOSE_dairy", numpars, UNIT("kg chem*kg^-1 BW*d^-1"), exposure) \
    X(DOSE_totaloral, "DOSE_totaloral", numpars, UNIT("kg chem*kg^-1 BW*d^-1"), exposure) \
    X(DOSE_total, "DOSE_total", numpars, UNIT("kg chem*kg^-1 BW*d^-1"), exposure) \
    X(INTAKE_air, "INTAKE_air", numpar, UNIT("kg chem*d^-1"), exposure) \
    X(INTAKE_drw, "INTAKE_drw", numpar, UNIT("kg chem*d^-1"), exposure) \
    X(INTAKE_leafcrops, "INTAKE_leafcrops", numpar, UNIT("kg chem*d^-1"), exposure) \
    X(INTAKE_rootcrops, "INTAKE_rootcrops", numpar, UNIT("kg chem*d^-1"), exposure) \
    X(INTAKE_freshwaterfish, "INTAKE_freshwaterfish", numpar, UNIT("kg chem*d^-1"), exposure) \
    X(INTAKE_seafish, "INTAKE_seafish", numpar, UNIT("kg chem*d^-1"), exposure) \
    X(INTAKE_meat, "INTAKE_meat", numpar, UNIT("kg chem*d^-1"), exposure) \
    X(INTAKE_dairy, "INTAKE_dairy", numpar, UNIT("kg chem*d^-1"), exposure) \
    X(INTAKE_totaloral, "INTAKE_totaloral", numpar, UNIT("kg chem*d^-1"), exposure) \
    X(INTAKE_total, "INTAKE_total", numpar, UNIT("kg chem*d^-1"), exposure) \
    X(iF, "iF", numpars, UNIT("-"), exposure) \
    X(iFtot, "iFtot", numpar, UNIT("-"), exposure) \
    X(RHO_agr, "RHO_agr", numpars, UNIT("kg wet soil*m soil^-3"), landscape) \
    X(Fsolid_agr, "Fsolid_agr", numpars, UNIT("m^3 solids*m^-3 soil"), landscape) \
    X(Fsolid_nonagr, "Fsolid_nonagr", numpars, UNIT("m^3 solids*m^-3 soil"), landscape) \
    X(Fsolid_deepsoil, "Fsolid_deepsoil", numpar, UNIT("m^3 solids*m^-3 soil"), landscape) \
    X(Fsolid_sed, "Fsolid_sed", numpar, UNIT("m^3 solids*m^-3 sed"), landscape) \
    X(Fsolid_susp, "Fsolid_susp", numpar, UNIT("m^3 solids*m^-3 susp"), landscape) \
    X(SUSPCONC_inlandwater, "SUSPCONC_inlandwater", numpars, UNIT("kg solids*m^-3 water"), landscape) \
    X(SUSPCONC_seawater, "SUSPCONC_seawater", numpars, UNIT("kg solids*m^-3 water"), landscape) \
    X(EVAP_lake, "EVAP_lake", numpars, UNIT("m^3*s^-1"), landscape) \
    X(RAINDIRECT_lake, "RAINDIRECT_lake", numpars, UNIT("m^3*s^-1"), landscape) \
    X(RAINDIRECT_saltlake, "RAINDIRECT_saltlake", numpars, UNIT("m^3*s^-1"), landscape) \
    X(kelim_plant, "kelim_plant", numpar, UNIT("s^-1"), landscape) \
    X(TSCF, "TSCF", numpar, UNIT("-"), partitioning) \
    X(K_plantwater, "K_plantwater", numpar, UNIT("-"), partitioning) \
    X(K_leafair, "K_leafair", numpars, UNIT("-"), partitioning) \
    X(Ftime_rain, "Ftime_rain", numpars, UNIT("-"), landscape) \
    X(Ftime_frost, "Ftime_frost", numpars, UNIT("-"), landscape) \
    X(BORDERWINDSPEED, "BORDERWINDSPEED", numparss, UNIT("m*s^-1"), landscape) \
    X(DISTANCE, "DISTANCE", numparss, UNIT("m"), landscape) \
    X(NBORDERS, "NBORDERS", numparss, UNIT("-"), landscape) \
    X(AREA_saltlakesed, "AREA_saltlakesed", numpars, UNIT("m^2"), landscape) \
    X(AREA_nat, "AREA_nat", numpars, UNIT("m^2"), landscape) \
    X(AREA_agr, "AREA_agr", numpars, UNIT("m^2"), landscape) \
    X(AREA_urb, "AREA_urb", numpars, UNIT("m^2"), landscape) \
    X(V_air, "V_air", numpars, UNIT("m^3"), landscape) \
    X(V_river, "V_river", numpars, UNIT("m^3"), landscape) \
    X(V_lake, "V_lake", numpars, UNIT("m^3"), landscape) \
    X(V_saltlake, "V_saltlake", numpars, UNIT("m^3"), landscape) \
    X(V_seawater, "V_seawater", numpars, UNIT("m^3"), landscape) \
    X(V_lakesed, "V_lakesed", numpars, UNIT("m^3"), landscape) \
    X(V_saltlakesed, "V_saltlakesed", numpars, UNIT("m^3"), landscape) \
    X(V_seased, "V_seased", numpars, UNIT("m^3"), landscape) \
    X(V_nat, "V_nat", numpars, UNIT("m^3"), landscape) \
    X(V_agr, "V_agr", numpars, UNIT("m^3"), landscape) \
    X(V_urb, "V_urb", numpars, UNIT("m^3"), landscape) \
    X(V_groundwater, "V_groundwater", numpars, UNIT("m^3"), landscape) \
    X(GASABS_water, "GASABS_water", numpars, UNIT("m air*s^-1"), transfer) \
    X(VOLAT_inlandwater, "VOLAT_inlandwater", numpars, UNIT("m water*s^-1"), transfer) \
    X(VOLAT_seawater, "VOLAT_seawater", numpars, UNIT("m seawater*s^-1"), transfer) \
    X(GASABS_nat, "GASABS_nat", numpars, UNIT("m air*s^-1"), transfer) \
    X(GASABS_agr, "GASABS_agr", numpars, UNIT("m air*s^-1"), transfer) \
    X(GASABS_urb, "GASABS_urb", numpars, UNIT("m air*s^-1"), transfer) \
    X(VOLAT_nat, "VOLAT_nat", numpars, UNIT("m soil*s^-1"), transfer) \
    X(VOLAT_agr, "VOLAT_agr", numpars, UNIT("m soil*s^-1"), transfer) \
    X(VOLAT_urb, "VOLAT_urb", numpars, UNIT("m soil*s^-1"), transfer) \
    X(DRYDEP_aer, "DRYDEP_aer", numpars, UNIT("m air*s^-1"), transfer) \
    X(WASHOUT, "WASHOUT", numpars, UNIT("m water*s^-1"), transfer) \
    X(LEACH_agr, "LEACH_agr", numpars, UNIT("m soil*s^-1"), transfer) \
    X(LEACH_nonagr, "LEACH_nonagr", numpars, UNIT("m soil*s^-1"), transfer) \
    X(riverinflow_solid, "riverinflow_solid", numpars, UNIT("kg solid*s^-1"), transfer) \
    X(riveroutflow_solid, "riveroutflow_solid", numpars, UNIT("kg solid*s^-1"), transfer) \
    X(ADSORB_sed, "ADSORB_sed", numpars, UNIT("m water*s^-1"), transfer) \
    X(ADSORB_seased, "ADSORB_seased", numpars, UNIT("m seawater*s^-1"), transfer) \
    X(DESORB_sed, "DESORB_sed", numpars, UNIT("m sed*s^-1"), transfer) \
    X(DESORB_seased, "DESORB_seased", numpars, UNIT("m seased*s^-1"), transfer) \
    X(PRODsusp_saltlake, "PRODsusp_saltlake", numpars, UNIT("kg solid*s^-1"), transfer) \
    X(PRODsusp_seawater, "PRODsusp_seawater", numpars, UNIT("kg solid*s^-1"), transfer) \
    X(NETsedrate_saltlake, "NETsedrate_saltlake", numpars, UNIT("m^3 sed*s^-1"), transfer) \
    X(NETsedrate_seawater, "NETsedrate_seawater", numpars, UNIT("m^3 sed*s^-1"), transfer) \
    X(GROSSsedrate_saltlake, "GROSSsedrate_saltlake", numpars, UNIT("m^3 sed*s^-1"), transfer) \
    X(GROSSsedrate_seawater, "GROSSsedrate_seawater", numpars, UNIT("m^3 sed*s^-1"), transfer) \
    X(sedrate_inlandwater, "sedrate_inlandwater", numpars, UNIT("m^3 sed*s^-1"), transfer) \
    X(sedrate_seawater, "sedrate_seawater", numpars, UNIT("m^3 sed*s^-1"), transfer) \
    X(RESUSPrate_saltlake, "RESUSPrate_saltlake", numpars, UNIT("m^3 sed*s^-1"), transfer) \
    X(RESUSPrate_seawater, "RESUSPrate_seawater", numpars, UNIT("m^3 sed*s^-1"), transfer) \
    X(Finf_soil, "Finf_soil", numpars, UNIT("-"), transfer) \
    X(EROSION_nat, "EROSION_nat", numpars, UNIT("m soil*s^-1"), transfer) \
    X(EROSION_agr, "EROSION_agr", numpars, UNIT("m soil*s^-1"), transfer) \
    X(EROSION_urb, "EROSION_urb", numpars, UNIT("m soil*s^-1"), transfer) \
    X(RUNOFF_nat, "RUNOFF_nat", numpars, UNIT("m soil*s^-1"), transfer) \
    X(RUNOFF_agr, "RUNOFF_agr", numpars, UNIT("m soil*s^-1"), transfer) \
    X(RUNOFF_urb, "RUNOFF_urb", numpars, UNIT("m soil*s^-1"), transfer) \
    X(kaw_air, "kaw_air", numpars, UNIT("m air*s^-1"), transfer) \
    X(kaw_water, "kaw_water", numpars, UNIT("m water*s^-1"), transfer) \
    X(FLOW_river_lake, "FLOW_river_lake", numpars, UNIT("m^3 water*s^-1"), transfer) \
    X(FLOW_river_saltlake, "FLOW_river_saltlake", numpars, UNIT("m^3 water*s^-1"), landscape) \
    X(FLOW_lake_river, "FLOW_lake_river", numpars, UNIT("m^3 water*s^-1"), transfer) \
    X(DIFF_air_lake, "DIFF_air_lake", numpars, UNIT("m^3 air*s^-1"), flows) \
    X(DIFF_lake_air, "DIFF_lake_air", numpars, UNIT("m^3 water*s^-1"), flows) \
    X(DIFF_air_saltlake, "DIFF_air_saltlake", numpars, UNIT("m^3 air*s^-1"), flows) \
    X(DIFF_saltlake_air, "DIFF_saltlake_air", numpars, UNIT("m^3 water*s^-1"), flows) \
    X(DIFF_air_seawater, "DIFF_air_seawater", numpars, UNIT("m^3 air*s^-1"), flows) \
    X(DIFF_seawater_air, "DIFF_seawater_air", numpars, UNIT("m^3 seawater*s^-1"), flows) \
    X(DIFF_air_nat, "DIFF_air_nat", numpars, UNIT("m^3 air*s^-1"), flows) \
    X(DIFF_nat_air, "DIFF_nat_air", numpars, UNIT("m^3 nat*s^-1"), flows) \
    X(DIFF_air_agr, "DIFF_air_agr", numpars, UNIT("m^3 air*s^-1"), flows) \
    X(DIFF_agr_air, "DIFF_agr_air", numpars, UNIT("m^3 agr*s^-1"), flows) \
    X(DIFF_air_urb, "DIFF_air_urb", numpars, UNIT("m^3 air*s^-1"), flows) \
    X(DIFF_urb_air, "DIFF_urb_air", numpars, UNIT("m^3 urb*s^-1"), flows) \
    X(DIFF_lake_lakesed, "DIFF_lake_lakesed", numpars, UNIT("m^3 water*s^-1"), flows) \
    X(DIFF_lakesed_lake, "DIFF_lakesed_lake", numpars, UNIT("m^3 sed*s^-1"), flows) \
    X(DIFF_saltlake_saltlakesed, "DIFF_saltlake_saltlakesed", numpars, UNIT("m^3 water*s^-1"), flows) \
    X(DIFF_saltlakesed_saltlake, "DIFF_saltlakesed_saltlake", numpars, UNIT("m^3 sed*s^-1"), flows) \
    X(DIFF_seawater_seased, "DIFF_seawater_seased", numpars, UNIT("m^3 seawater*s^-1"), flows) \
    X(DIFF_seased_seawater, "DIFF_seased_seawater", numpars, UNIT("m^3 seased*s^-1"), flows) \
    X(ADV_air_lake, "ADV_air_lake", numpars, UNIT("m^3 air*s^-1"), flows) \
    X(ADV_air_saltlake, "ADV_air_saltlake", numpars, UNIT("m^3 air*s^-1"), flows) \
    X(ADV_air_seawater, "ADV_air_seawater", numpars, UNIT("m^3 air*s^-1"), flows) \
    X(ADV_air_nat, "ADV_air_nat", numpars, UNIT("m^3 air*s^-1"), flows) \
    X(ADV_air_agr, "ADV_air_agr", numpars, UNIT("m^3 air*s^-1"), flows) \
    X(ADV_air_urb, "ADV_air_urb", numpars, UNIT("m^3 air*s^-1"), flows) \
    X(ADV_air_outside, "ADV_air_outside", numpars, UNIT("m^3 air*s^-1"), flows) \
    X(ADV_nat_river, "ADV_nat_river", numpars, UNIT("m^3 nat*s^-1"), flows) \
    X(ADV_agr_river, "ADV_agr_river", numpars, UNIT("m^3 agr*s^-1"), flows) \
    X(ADV_urb_river, "ADV_urb_river", numpars, UNIT("m^3 urb*s^-1"), flows) \
    X(ADV_nat_groundwater, "ADV_nat_groundwater", numpars, UNIT("m^3 nat*s^-1"), flows) \
    X(ADV_agr_groundwater, "ADV_agr_groundwater", numpars, UNIT("m^3 agr*s^-1"), flows) \
    X(ADV_urb_groundwater, "ADV_urb_groundwater", numpars, UNIT("m^3 urb*s^-1"), flows) \
    X(ADV_river_lake, "ADV_river_lake", numpars, UNIT("m^3 water*s^-1"), flows) \
    X(ADV_river_saltlake, "ADV_river_saltlake", numpars, UNIT("m^3 water*s^-1"), flows) \
    X(ADV_river_seawater, "ADV_river_seawater", numparss, UNIT("m^3 air*s^-1"), flows) \
    X(ADV_river_agr, "ADV_river_agr", numpars, UNIT("m^3 air*s^-1"), flows) \
    X(ADV_river_outside, "ADV_river_outside", numpars, UNIT("m^3 water*s^-1"), flows) \
    X(ADV_lake_river, "ADV_lake_river", numpars, UNIT("m^3 water*s^-1"), flows) \
    X(ADV_lake_lakesed, "ADV_lake_lakesed", numpars, UNIT("m^3 water*s^-1"), flows) \
    X(ADV_lake_outside, "ADV_lake_outside", numpars, UNIT("m^3 water*s^-1"), flows) \
    X(ADV_lakesed_outside, "ADV_lakesed_outside", numpars, UNIT("m^3 sed*s^-1"), flows) \
    X(ADV_saltlake_saltlakesed, "ADV_saltlake_saltlakesed", numpars, UNIT("m^3 water*s^-1"), flows) \
    X(ADV_saltlakesed_saltlake, "ADV_saltlakesed_saltlake", numpars, UNIT("m^3 sed*s^-1"), flows) \
    X(ADV_saltlakesed_outside, "ADV_saltlakesed_outside", numpars, UNIT("m^3 sed*s^-1"), flows) \
    X(ADV_groundwater_river, "ADV_groundwater_river", numpars, UNIT("m^3 groundwater*s^-1"), flows) \
    X(ADV_groundwater_agr, "ADV_groundwater_agr", numpars, UNIT("m^3 groundwater*s^-1"), flows) \
    X(ADV_groundwater_seawater, "ADV_groundwater_seawater", numparss, UNIT("m^3 groundwater*s^-1"), flows) \
    X(ADV_seawater_seased, "ADV_seawater_seased", numpars, UNIT("m^3 seawater*s^-1"), flows) \
    X(ADV_seased_seawater, "ADV_seased_seawater", numpars, UNIT("m^3 seased*s^-1"), flows) \
    X(ADV_seawater_outside, "ADV_seawater_outside", numpars, UNIT("m^3 seawater*s^-1"), flows) \
    X(ADV_seased_outside, "ADV_seased_outside", numpars, UNIT("m^3 seased*s^-1"), flows) \
    X(ADV_air_air, "ADV_air_air", numparss, UNIT("m^3 air*s^-1"), flows) \
    X(ADV_river_river, "ADV_river_river", numparss, UNIT("m^3 water*s^-1"), flows) \
    X(ADV_groundwater_groundwater, "ADV_groundwater_groundwater", numparss, UNIT("m^3 groundwater*s^-1"), flows) \
    X(ADV_seawater_seawater, "ADV_seawater_seawater", numparss, UNIT("m^3 seawater*s^-1"), flows) \
    X(C_air, "C_air", numpars, UNIT("kg chem*m^-3"), exposure) \
    X(C_nat, "C_nat", numpars, UNIT("kg chem*m^-3"), exposure) \
    X(C_agr, "C_agr", numpars, UNIT("kg chem*m^-3"), exposure) \
    X(C_urb, "C_urb", numpars, UNIT("kg chem*m^-3"), exposure) \
    X(C_river, "C_river", numpars, UNIT("kg chem*m^-3"), exposure) \
    X(C_lake, "C_lake", numpars, UNIT("kg chem*m^-3"), exposure) \
    X(C_lakesed, "C_lakesed", numpars, UNIT("kg chem*m^-3"), exposure) \
    X(C_saltlake, "C_saltlake", numpars, UNIT("kg chem*m^-3"), exposure) \
    X(C_saltlakesed, "C_saltlakesed", numpars, UNIT("kg chem*m^-3"), exposure) \
    X(C_groundwater, "C_groundwater", numpars, UNIT("kg chem*m^-3"), exposure) \
    X(C_seawater, "C_seawater", numpars, UNIT("kg chem*m^-3"), exposure) \
    X(C_seased, "C_seased", numpars, UNIT("kg chem*m^-3"), exposure) \
    X(C_leafcrops, "C_leafcrops", numpars, UNIT("kg chem*m^-3"), exposure) \
    X(C_leafcropsimp, "C_leafcropsimp", numpar, UNIT("kg chem*m^-3"), exposure) \
    X(C_rootcrops, "C_rootcrops", numpars, UNIT("kg chem*m^-3"), exposure) \
    X(C_rootcropsimp, "C_rootcropsimp", numpar, UNIT("kg chem*m^-3"), exposure) \
    X(C_freshwaterfish, "C_freshwaterfish", numpars, UNIT("kg chem*m^-3"), exposure) \
    X(C_freshwaterfishimp, "C_freshwaterfishimp", numpar, UNIT("kg chem*m^-3"), exposure) \
    X(C_seafish, "C_seafish", numpars, UNIT("kg chem*m^-3"), exposure) \
    X(C_seafishaverage, "C_seafishaverage", numpar, UNIT("kg chem*m^-3"), exposure) \
    X(C_grass, "C_grass", numpars, UNIT("kg chem*m^-3"), exposure) \
    X(C_meat, "C_meat", numpars, UNIT("kg chem*m^-3"), exposure) \
    X(C_meatimp, "C_meatimp", numpar, UNIT("kg chem*m^-3"), exposure) \
    X(C_dairy, "C_dairy", numpars, UNIT("kg chem*m^-3"), exposure) \
    X(C_dairyimp, "C_dairyimp", numpar, UNIT("kg chem*m^-3"), exposure) \
    X(C_purfsurfacew, "C_purfsurfacew", numpars, UNIT("kg chem*m^-3"), exposure) \
    X(C_purfgroundw, "C_purfgroundw", numpars, UNIT("kg chem*m^-3"), exposure) \
    X(C_drw, "C_drw", numpars, UNIT("kg chem*m^-3"), exposure) \
    X(RCRtox_river, "RCRtox_river", numpars, UNIT("-"), risk) \
    X(RCRtox_lake, "RCRtox_lake", numpars, UNIT("-"), risk) \
    X(RCRtox_saltlake, "RCRtox_saltlake", numpars, UNIT("-"), risk) \
    X(RCRtox_seawater, "RCRtox_seawater", numpars, UNIT("-"), risk) \
    X(RCRtox_soil, "RCRtox_soil", numpars, UNIT("-"), risk) \
    X(RCRtox_humnoncarc, "RCRtox_humnoncarc", numpars, UNIT("-"), risk) \
    X(RCRtox_humcarc, "RCRtox_humcarc", numpars, UNIT("-"), risk) \
    X(IPICRtox_river, "IPICRtox_river", numpar, UNIT("-"), risk) \
    X(IPICRtox_lake, "IPICRtox_lake", numpar, UNIT("-"), risk) \
    X(IPICRtox_saltlake, "IPICRtox_saltlake", numpar, UNIT("-"), risk) \
    X(IPICRtox_seawater, "IPICRtox_seawater", numpar, UNIT("-"), risk) \
    X(IPICRtox_soil, "IPICRtox_soil", numpar, UNIT("-"), risk) \
    X(IPICRtox_humnoncarc, "IPICRtox_humnoncarc", numpar, UNIT("-"), risk) \
    X(IPICRtox_humcarc, "IPICRtox_humcarc", numpar, UNIT("-"), risk) \
    X(IAICRtox_river, "IAICRtox_river", numpar, UNIT("-"), risk) \
    X(IAICRtox_lake, "IAICRtox_lake", numpar, UNIT("-"), risk) \
    X(IAICRtox_saltlake, "IAICRtox_saltlake", numpar, UNIT("-"), risk) \
    X(IAICRtox_seawater, "IAICRtox_seawater", numpar, UNIT("-"), risk) \
    X(IAICRtox_soil, "IAICRtox_soil", numpar, UNIT("-"), risk) \
    X(IAICRtox_humnoncarc, "IAICRtox_humnoncarc", numpar, UNIT("-"), risk) \
    X(IAICRtox_humcarc, "IAICRtox_humcarc", numpar, UNIT("-"), risk) \
    X(RPICRtox_river, "RPICRtox_river", numpars, UNIT("%"), risk) \
    X(RPICRtox_lake, "RPICRtox_lake", numpars, UNIT("%"), risk) \
    X(RPICRtox_saltlake, "RPICRtox_saltlake", numpars, UNIT("%"), risk) \
    X(RPICRtox_seawater, "RPICRtox_seawater", numpars, UNIT("%"), risk) \
    X(RPICRtox_soil, "RPICRtox_soil", numpars, UNIT("%"), risk) \
    X(RPICRtox_humnoncarc, "RPICRtox_humnoncarc", numpars, UNIT("%"), risk) \
    X(RPICRtox_humcarc, "RPICRtox_humcarc", numpars, UNIT("%"), risk) \
    X(RAICRtox_river, "RAICRtox_river", numpars, UNIT("%"), risk) \
    X(RAICRtox_lake, "RAICRtox_lake", numpars, UNIT("%"), risk) \
    X(RAICRtox_saltlake, "RAICRtox_saltlake", numpars, UNIT("%"), risk) \
    X(RAICRtox_seawater, "RAICRtox_seawater", numpars, UNIT("%"), risk) \
    X(RAICRtox_soil, "RAICRtox_soil", numpars, UNIT("%"), risk) \
    X(RAICRtox_humnoncarc, "RAICRtox_humnoncarc", numpars, UNIT("%"), risk) \
    X(RAICRtox_humcarc, "RAICRtox_humcarc", numpars, UNIT("%"), risk) \
    X(CFtoxpot_river, "CFtoxpot_river", numpar, UNIT("kg*kg^-1"), risk) \
    X(CFtoxpot_lake, "CFtoxpot_lake", numpar, UNIT("kg*kg^-1"), risk) \
    X(CFtoxpot_saltlake, "CFtoxpot_saltlake", numpar, UNIT("kg*kg^-1"), risk) \
    X(CFtoxpot_seawater, "CFtoxpot_seawater", numpar, UNIT("kg*kg^-1"), risk) \
    X(CFtoxpot_soil, "CFtoxpot_soil", numpar, UNIT("kg*kg^-1"), risk) \
    X(CFtoxpot_humnoncarc, "CFtoxpot_humnoncarc", numpar, UNIT("kg*kg^-1"), risk) \
    X(CFtoxpot_humcarc, "CFtoxpot_humcarc", numpar, UNIT("kg*kg^-1"), risk) \
    X(CFtoxact_river, "CFtoxact_river", numpar, UNIT("kg*kg^-1"), risk) \
    X(CFtoxact_lake, "CFtoxact_lake", numpar, UNIT("kg*kg^-1"), risk) \
    X(CFtoxact_saltlake, "CFtoxact_saltlake", numpar, UNIT("kg*kg^-1"), risk) \
    X(CFtoxact_seawater, "CFtoxact_seawater", numpar, UNIT("kg*kg^-1"), risk) \
    X(CFtoxact_soil, "CFtoxact_soil", numpar, UNIT("kg*kg^-1"), risk) \
    X(CFtoxact_humnoncarc, "CFtoxact_humnoncarc", numpar, UNIT("kg*kg^-1"), risk) \
    X(CFtoxact_humcarc, "CFtoxact_humcarc", numpar, UNIT("kg*kg^-1"), risk) \
    X(DISTANCEreg, "DISTANCEreg", numpars, UNIT("m"), risk) \
    X(NBORDERSreg, "NBORDERSreg", numpars, UNIT("-"), risk)
// clang-format on
