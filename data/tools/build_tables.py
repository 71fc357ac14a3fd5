#!/usr/bin/env python3
"""Regenerates the shipped reference tables of data/tables/ and the sample
station record files data/stations/<state>.quen.

Run from anywhere:  python3 data/tools/build_tables.py
Inputs: the transcriptions in data/tools/input/ (see data/SOURCES.md) and the
figures written out below, each with the publication it comes from.
Everything computed here is computed by a documented formula; nothing else is
filled in.  The output is deterministic (byte for byte).
"""
import csv
from decimal import Decimal, ROUND_HALF_UP
import io
import math
import os

import noaa_climate

HERE = os.path.dirname(os.path.abspath(__file__))
DATA = os.path.dirname(HERE)
TABLES = os.path.join(DATA, "tables")
STATIONS = os.path.join(DATA, "stations")
INPUT = os.path.join(HERE, "input")

MONTHS = ["Jan", "Feb", "Mar", "Apr", "May", "Jun",
          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"]
DAYS_IN_MONTH = [31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31]
M_TO_FT = 3.28083
FT_TO_M = 0.3048


# --------------------------------------------------------------------------
# helpers

def fmt(x, nd):
    """Fixed decimals, halves rounded up (as the programs' fixed-point text
    does), without a negative zero."""
    q = Decimal(1).scaleb(-nd)
    s = str(Decimal(repr(float(x))).quantize(q, rounding=ROUND_HALF_UP))
    if s.startswith("-") and float(s) == 0:
        s = s[1:]
    return s


def round_half_up(x, nd):
    return float(fmt(x, nd))


def gen(x):
    """Shortest text of a number as given (no trailing zeros)."""
    if x is None:
        return ""
    if isinstance(x, str):
        return x
    s = repr(round(float(x), 10))
    if s.endswith(".0"):
        s = s[:-2]
    return s


def write_table(name, header, rows, comments):
    os.makedirs(TABLES, exist_ok=True)
    buf = io.StringIO()
    for c in comments:
        buf.write("# " + c + "\n")
    w = csv.writer(buf, lineterminator="\n")
    w.writerow(header)
    for r in rows:
        w.writerow(["" if v is None else v for v in r])
    with open(os.path.join(TABLES, name + ".csv"), "w", encoding="utf-8", newline="") as f:
        f.write(buf.getvalue())


def day_of_year(month, day):
    return sum(DAYS_IN_MONTH[: month - 1]) + day


def month_day(doy):
    doy = (doy - 1) % 365 + 1
    m = 0
    while doy > DAYS_IN_MONTH[m]:
        doy -= DAYS_IN_MONTH[m]
        m += 1
    return m + 1, doy


def midpoint(text):
    """A Table 11/12 cell: a number, or a printed range lo-hi (midpoint)."""
    text = (text or "").strip()
    if not text:
        return None
    if "-" in text[1:]:
        lo, hi = text.split("-", 1)
        return (float(lo) + float(hi)) / 2.0
    return float(text)


def f_to_c(f):
    return (f - 32.0) * 5.0 / 9.0


# --------------------------------------------------------------------------
# 1. MoPctDay.db: monthly percentage of annual daytime hours, 0..65 deg N

def spencer_declination(g):
    # Spencer (1971), radians; g = day angle
    return (0.006918 - 0.399912 * math.cos(g) + 0.070257 * math.sin(g)
            - 0.006758 * math.cos(2 * g) + 0.000907 * math.sin(2 * g)
            - 0.002697 * math.cos(3 * g) + 0.00148 * math.sin(3 * g))


def daytime_percent_row(lat_deg, substeps=24):
    """Daytime hours N = 24/pi * ws summed per month of a 365-day year, as a
    percentage of the year.  Sunrise and sunset are taken for the sun's centre
    0.833 deg below the horizon (refraction and semidiameter), as in the
    astronomical day-length tables the published Blaney-Criddle p table was
    drawn from."""
    phi = math.radians(lat_deg)
    h0 = math.radians(-0.833)
    totals = [0.0] * 12
    day = 0
    for m in range(12):
        for _ in range(DAYS_IN_MONTH[m]):
            for s in range(substeps):
                t = day + (s + 0.5) / substeps
                dec = spencer_declination(2 * math.pi * t / 365.0)
                x = (math.sin(h0) - math.sin(phi) * math.sin(dec)) / (math.cos(phi) * math.cos(dec))
                x = max(-1.0, min(1.0, x))
                totals[m] += 24.0 / math.pi * math.acos(x) / substeps
            day += 1
    year = sum(totals)
    return [100.0 * t / year for t in totals]


def build_mopctday():
    rows = []
    for lat in range(0, 66):
        rows.append([lat] + [fmt(v, 2) for v in daytime_percent_row(lat)])
    write_table("MoPctDay.db", ["Latitude N"] + MONTHS, rows, [
        "Monthly percentage of annual daytime hours (Blaney-Criddle p), whole degrees 0-65 N.",
        "COMPUTED from solar geometry by data/tools/build_tables.py (see data/SOURCES.md);",
        "agrees with the published TR-21 / Blaney-Criddle (1962) table within 0.10 where checked.",
    ])


# --------------------------------------------------------------------------
# 2. WetSoil.db: soil-surface wetting factors (SUBSTITUTE, see SOURCES.md)

def fao56_kc_ini(tw, eto, tew, rew):
    """FAO-56 eq. 7 (Kc ini of a bare soil wetted every tw days), fw = 1."""
    eso = 1.15 * eto
    t1 = rew / eso
    if tw < t1:
        return eso / eto
    return (tew - (tew - rew) * math.exp(-(tw - t1) * eso * (1 + rew / (tew - rew)) / tew)) / (tw * eto)


WETSOIL_ETO = 5.0  # mm/day, the mid-season ETo the factors are computed for
SOILS = ["Clay", "Clay Loam", "Silt Loam", "Sandy Loam", "Loamy Sand", "Sand"]
SOIL_CLASS = {"Clay": "MFT", "Clay Loam": "MFT", "Silt Loam": "MFT",
              "Sandy Loam": "CT", "Loamy Sand": "CT", "Sand": "CT"}


def heavy_wetting_tew_rew(cls, eto):
    # FAO-56 Chapter 6, Kc ini for infiltration depths >= 40 mm (Fig. 30):
    # coarse: TEW = min(15, 7 sqrt(ETo)), REW = min(6, TEW - 0.01);
    # medium and fine: TEW = min(28, 13 sqrt(ETo)), REW = min(9, TEW - 0.01)
    if cls == "CT":
        tew = min(15.0, 7.0 * math.sqrt(eto))
        return tew, min(6.0, tew - 0.01)
    tew = min(28.0, 13.0 * math.sqrt(eto))
    return tew, min(9.0, tew - 0.01)


def build_wetsoil():
    rows = []
    for days in range(1, 31):
        r = [days]
        for soil in SOILS:
            tew, rew = heavy_wetting_tew_rew(SOIL_CLASS[soil], WETSOIL_ETO)
            r.append(fmt(fao56_kc_ini(days, WETSOIL_ETO, tew, rew), 3))
        rows.append(r)
    write_table("WetSoil.db", ["Interval Days"] + SOILS, rows, [
        "SUBSTITUTE for the NEH Part 623 Ch. 2 wet-soil evaporation factors (not reachable):",
        "FAO-56 eq. 7 Kc ini of a bare soil, heavy wetting (>= 40 mm), fw = 1, ETo = 5 mm/day;",
        "Clay, Clay Loam, Silt Loam = medium/fine texture; Sandy Loam, Loamy Sand, Sand = coarse.",
    ])


# --------------------------------------------------------------------------
# 3. PcpChance.DB (SUBSTITUTE, see SOURCES.md)

def ratio50(p):
    return (0.774261 + 0.0200712 * p - 0.000741843 * p ** 2 + 0.0000127653 * p ** 3
            - 0.000000101543 * p ** 4 + 0.000000000301104 * p ** 5)


def ratio80(p):
    return (0.415008 + 0.0295972 * p - 0.000779763 * p ** 2 + 0.00000905045 * p ** 3
            - 0.0000000372727 * p ** 4)


def build_pcpchance():
    rows = [[p, fmt(ratio50(p), 6), fmt(ratio80(p), 6)] for p in range(3, 91)]
    write_table("PcpChance.DB", ["AnPcp", "Pct50", "Pct80"], rows, [
        "Ratios of 50 % and 80 % chance effective precipitation to the average, by annual",
        "precipitation (inches).  SUBSTITUTE: computed at whole inches from the regression the",
        "main program uses for a job's default ratios (NEH Part 623 Ch. 2 table not reachable).",
    ])


# --------------------------------------------------------------------------
# 4. FAO-56 Tables 12 and 11

def read_input(name):
    with open(os.path.join(INPUT, name), encoding="utf-8") as f:
        return list(csv.DictReader(f))


def group_name(g):
    g = g.split(". ", 1)[1] if ". " in g[:4] else g
    if len(g) > 65:  # the one long heading, abbreviated to fit the field
        g = g.replace("(with winter dormancy and initially bare or mulched soil)",
                      "(winter dormancy, bare soil)")
    return g


def t12_name(r):
    crop = r["crop"]
    if crop == "(group default)":
        return group_name(r["crop_group"]) + " (group values)"
    return crop + (", " + r["variant"] if r["variant"] else "")


def load_t12():
    out = {}
    rows = []
    for r in read_input("fao56_table12.csv"):
        name = t12_name(r)
        h = midpoint(r["h_max_m"])
        rec = {
            "CropName": name,
            "CropDescrip": group_name(r["crop_group"]),
            "Kcini": midpoint(r["kc_ini"]),
            "Kcmid": midpoint(r["kc_mid"]),
            "Kcend": midpoint(r["kc_end"]),
            "MaxHeightM": h,
            "MaxHeightF": None if h is None else round(h * M_TO_FT, 2),
        }
        rows.append(rec)
        out[name] = rec
    return rows, out


def build_t12(rows):
    hdr = ["CropName", "CropDescrip", "Kcini", "Kcmid", "Kcend", "MaxHeightM", "MaxHeightF"]
    body = []
    for r in rows:
        body.append([r["CropName"], r["CropDescrip"]]
                    + [gen(round(r[k], 4)) if r[k] is not None else "" for k in hdr[2:]])
    write_table("CrpFAO56Tbl.db", hdr, body, [
        "FAO-56 (Allen et al. 1998) Table 12: single Kc and maximum crop height.",
        "A printed range lo-hi is stored as its midpoint; MaxHeightF = MaxHeightM x 3.28083.",
    ])


def t11_name(r):
    return r["crop"] + (" (" + r["variant"] + ")" if r["variant"] else "")


def num(text):
    try:
        return float(text)
    except (TypeError, ValueError):
        return None


def load_t11():
    rows = []
    for r in read_input("fao56_table11.csv"):
        region = r["region"]
        if len(region) > 30:
            region = "(season set by frost dates)"
        rec = {
            "CropName": t11_name(r), "Region": region, "PlantDate": r["plant_date"],
            "Lini": num(r["lini"]), "Ldev": num(r["ldev"]), "Lmid": num(r["lmid"]),
            "Llate": num(r["llate"]), "TotalDays": num(r["total"]),
        }
        rows.append(rec)
    # shortest and longest season of the same crop over its rows
    span = {}
    for rec in rows:
        if rec["TotalDays"] is not None:
            lo, hi = span.get(rec["CropName"], (1e9, -1e9))
            span[rec["CropName"]] = (min(lo, rec["TotalDays"]), max(hi, rec["TotalDays"]))
    for rec in rows:
        lo_hi = span.get(rec["CropName"])
        rec["MinDays"], rec["MaxDays"] = lo_hi if lo_hi else (None, None)
        t = rec["TotalDays"]
        if t and None not in (rec["Lini"], rec["Ldev"], rec["Lmid"]):
            rec["Fs1"] = round_half_up(rec["Lini"] / t, 2)
            rec["Fs2"] = round_half_up((rec["Lini"] + rec["Ldev"]) / t, 2)
            rec["Fs3"] = round_half_up((rec["Lini"] + rec["Ldev"] + rec["Lmid"]) / t, 2)
        else:
            rec["Fs1"] = rec["Fs2"] = rec["Fs3"] = None
    return rows


def build_t11(rows):
    hdr = ["CropName", "Region", "PlantDate", "Lini", "Ldev", "Lmid", "Llate",
           "TotalDays", "MinDays", "MaxDays", "Fs1", "Fs2", "Fs3"]
    body = [[r[k] if isinstance(r[k], str) else gen(r[k]) for k in hdr] for r in rows]
    write_table("crpFAOTbl11.db", hdr, body, [
        "FAO-56 (Allen et al. 1998) Table 11: lengths of crop development stages (days).",
        "Fs1..Fs3 = fraction of TotalDays elapsed at the end of the initial, development and",
        "mid-season stages, rounded to 2 decimals; MinDays/MaxDays = shortest/longest TotalDays",
        "printed for the same crop.  Empty cells: 'var.' or '--' in the publication.",
    ])


def t11_row(rows, crop, region):
    for r in rows:
        if r["CropName"] == crop and r["Region"] == region:
            return r
    raise KeyError((crop, region))


# --------------------------------------------------------------------------
# 5. Basal curves (SUBSTITUTE: FAO-56 Table 17 Kcb with Table 11 stage fractions)

def load_t17():
    out = {}
    for r in read_input("fao56_table17_kcb_pyfao56.csv"):
        vals = [num(r[k]) for k in ("kcb_ini", "kcb_mid", "kcb_end")]
        if None not in vals:
            out[r["crop"]] = tuple(vals)
    return out


# The rows of the Table 17 transcription that the basal curves use, checked
# against the printed FAO-56 Table 17 (tools/input/fao56_table17_kcb_printed.csv).
# Where the table prints a range the value must be its midpoint, or the end
# its footnote gives for the shipped crop: footnote 10, the lower end is for
# machine-harvested grain; footnote 11, winter wheat Kcb ini 0.15 below 10 %
# ground cover (fall planting); footnote 12, maize Kcb end 0.50 at high grain
# moisture and 0.15 after field drying (two rows of the transcription).
T17_PRINTED_ROW = {
    "potato": "Potato", "sugar beet": "Sugar Beet", "beans dry pulses": "Beans, dry and Pulses",
    "maize field grain corn 18% moisture": "Maize - Field (grain) (field corn)",
    "maize field grain corn harvested wet": "Maize - Field (grain) (field corn)",
    "maize sweet corn fresh": "Maize - Sweet (sweet corn)", "spring wheat": "Spring Wheat",
    "winter wheat": "Winter Wheat", "sorghum grain": "Sorghum - grain", "onions dry": "Onions - dry",
    "apples cherries pears no ground cover killing frost":
        "Apples, Cherries, Pears - no ground cover, killing frost",
    "grapes wine": "Grapes - Wine", "tomato": "Tomato",
    "alfalfa hay individual cutting periods": "Alfalfa Hay - individual cutting periods",
    "grazing pasture rotated grazing": "Grazing Pasture - Rotated Grazing",
}


def check_t17(t17):
    printed = {r["crop"]: r for r in read_commented("fao56_table17_kcb_printed.csv")}
    for key, crop in T17_PRINTED_ROW.items():
        row = printed[crop]
        for value, cell in zip(t17[key], (row["kcb_ini"], row["kcb_mid"], row["kcb_end"])):
            allowed = set()
            for alt in cell.split(","):
                lo_hi = [float(x) for x in alt.split("-")]
                allowed.update(lo_hi)
                allowed.add(round((lo_hi[0] + lo_hi[-1]) / 2, 3))
            single = "-" not in cell and "," not in cell
            assert (value == float(cell)) if single else value in allowed, (key, value, cell)


# humidity/wind code -> (u2 m/s, RHmin %) used with FAO-56 eq. 70
CLIMATES = {"HM": (2.0, 45.0), "HS": (4.0, 45.0), "AM": (2.0, 20.0), "AS": (4.0, 20.0)}


def climate_adjust(kcb, u2, rhmin, h):
    # FAO-56 eq. 70 (and eq. 72 for the end value when Kcb end >= 0.45)
    return kcb + (0.04 * (u2 - 2.0) - 0.004 * (rhmin - 45.0)) * (h / 3.0) ** 0.3


# key, curve name stem, Table 17 row, Table 12 row (height), Table 11 (crop, region)
ANNUAL_BASAL = [
    ("potato", "Potatoes", "potato", "Potato", ("Potato", "Idaho, USA")),
    ("sugarbeet", "Sugar beets", "sugar beet", "Sugar Beet", ("Sugarbeet", "Idaho, USA")),
    ("drybean", "Beans, dry", "beans dry pulses", "Beans, dry and Pulses", ("Beans (dry)", "Idaho, USA")),
    ("corngrain", "Corn, grain", "maize field grain corn 18% moisture",
     "Maize, Field (grain) (field corn)", ("Maize (grain)", "Idaho, USA")),
    ("cornsilage", "Corn, silage", "maize field grain corn harvested wet",
     "Maize, Field (grain) (field corn)", ("Maize (grain)", "Idaho, USA")),
    ("sweetcorn", "Sweet corn", "maize sweet corn fresh", "Maize, Sweet (sweet corn)",
     ("Maize (sweet)", "Idaho, USA")),
    ("springgrain", "Spring grain", "spring wheat", "Spring Wheat", ("Barley/Oats/Wheat", "35-45 °L")),
    ("winterwheat", "Winter wheat", "winter wheat", "Winter Wheat, with frozen soils",
     ("Winter Wheat", "Idaho, USA")),
    ("sorghum", "Sorghum, grain", "sorghum grain", "Sorghum, grain", ("Sorghum", "USA, Pakis., Med.")),
    ("onion", "Onions, dry", "onions dry", "Onions, dry", ("Onion (dry)", "Mediterranean")),
    ("tomato", "Tomatoes", "tomato", "Tomato", ("Tomato", "Calif., USA")),
]

PERENNIAL_BASAL = [
    ("orchard", "Orchard, apple/cherry/pear", "apples cherries pears no ground cover killing frost",
     "Apples, Cherries, Pears, no ground cover, killing frost",
     ("Deciduous Orchard", "High Latitudes"), "no ground cover", "killing frost"),
    ("grapes", "Grapes, wine", "grapes wine", "Grapes, Wine",
     ("Grapes", "Mid Latitudes (wine)"), "vineyard, bare soil", "mid latitudes"),
]

FORAGE_BASAL = [
    # key, name stem, Table 17 row, Table 12 row, hay, percent of cycle to peak
    ("alfalfa", "Alfalfa hay", "alfalfa hay individual cutting periods",
     "Alfalfa Hay, individual cutting periods", True),
    ("pasture", "Pasture, grass", "grazing pasture rotated grazing",
     "Grazing Pasture, Rotated Grazing", False),
]


def basal_name(stem, code):
    name = f"{stem} {code}"
    assert len(name) <= 30, name
    return name


def first_month(text):
    for i, m in enumerate(MONTHS):
        if text.strip().lower().startswith(m.lower()):
            return i + 1
    raise ValueError(text)


def build_basal(t11, t12, t17):
    types = {}
    annual_rows = []
    for key, stem, k17, k12, (c11, reg11) in ANNUAL_BASAL:
        r11 = t11_row(t11, c11, reg11)
        tname = f"{c11}, {reg11}"[:30]
        types[tname] = [tname, gen(r11["Fs1"]), gen(r11["Fs2"]), gen(r11["Fs3"]),
                        int(r11["MinDays"]), int(r11["MaxDays"])]
        ini, mid, end = t17[k17]
        h = t12[k12]["MaxHeightM"]
        for code, (u2, rh) in CLIMATES.items():
            kcp = climate_adjust(mid, u2, rh, h)
            kcm = climate_adjust(end, u2, rh, h) if end >= 0.45 else end
            annual_rows.append([basal_name(stem, code), tname, code, fmt(ini, 2), fmt(kcp, 2),
                                fmt(kcm, 2), "F",
                                memo(f"FAO-56 T17 Kcb {ini:.2f}/{mid:.2f}/{end:.2f}; eq. 70 "
                                     f"u2={u2:g} RHmin={rh:g} h={h:g} m; stages T11 {c11}, {reg11}")])
    write_table("CrpAnTyp.db", ["Crop Type", "Fs1", "Fs2", "Fs3", "DaysMin", "DaysMax"],
                list(types.values()), [
        "Annual crop types: growth-stage fractions.  SUBSTITUTE for the NEH Part 623 Ch. 2",
        "crop types: FAO-56 Table 11 rows (Fs = stage ends / total; DaysMin/Max over the crop's rows).",
    ])
    write_table("CrpAnNam.DB", ["Crop Curve Name", "Crop Type", "Climate/Wind", "Kcb", "Kcp",
                                "Kcm", "Marked", "Notes"], annual_rows, [
        "Basal curves of field and vegetable crops.  SUBSTITUTE for the NEH Part 623 Ch. 2",
        "curves: FAO-56 Table 17 Kcb ini/mid/end; mid and end (>= 0.45) adjusted by FAO-56",
        "eq. 70 for HM u2=2 RHmin=45 (Table 17 as printed), HS 4/45, AM 2/20, AS 4/20.",
    ])

    peren_rows = []
    for key, stem, k17, k12, (c11, reg11), cover, cond in PERENNIAL_BASAL:
        r11 = t11_row(t11, c11, reg11)
        ini, mid, end = t17[k17]
        h = t12[k12]["MaxHeightM"]
        start = day_of_year(first_month(r11["PlantDate"]), 1)
        li, ld, lm, ll = r11["Lini"], r11["Ldev"], r11["Lmid"], r11["Llate"]
        for code, (u2, rh) in (("HM", CLIMATES["HM"]), ("AM", CLIMATES["AM"])):
            kmid = climate_adjust(mid, u2, rh, h)
            kend = climate_adjust(end, u2, rh, h) if end >= 0.45 else end
            vals = []
            for m in range(1, 13):
                t = day_of_year(m, 15) - start  # days since the start of growth
                if t < 0 or t > li + ld + lm + ll:
                    vals.append(None)
                    continue
                if t <= li:
                    k = ini
                elif t <= li + ld:
                    k = ini + (kmid - ini) * (t - li) / ld
                elif t <= li + ld + lm:
                    k = kmid
                else:
                    k = kmid + (kend - kmid) * (t - li - ld - lm) / ll
                vals.append(k)
            cells = []
            for m, v in enumerate(vals, start=1):
                if v is None:
                    cells.append("0" if 4 <= m <= 8 else "")
                else:
                    cells.append(fmt(v, 2))
            name = f"{stem} {code}"
            peren_rows.append([name, code, cover, cond] + cells + [
                memo(f"FAO-56 T17 Kcb {ini:.2f}/{mid:.2f}/{end:.2f}, eq. 70 u2={u2:g} RHmin={rh:g};"
                     f" T11 {int(li)}/{int(ld)}/{int(lm)}/{int(ll)} d from 1 "
                     f"{MONTHS[first_month(r11['PlantDate']) - 1]}; Kc of the 15th"), "F"])
    write_table("CrpPeren.DB", ["Crop Curve Name", "Humidity/Wind", "Ground Cover",
                                "Growing Conditions"] + [m + " Kc" for m in MONTHS]
                + ["Notes", "Marked"], peren_rows, [
        "Basal curves of perennial crops by month (value of the 15th).  SUBSTITUTE for the",
        "NEH Part 623 Ch. 2 curves: FAO-56 Table 17 Kcb on the Table 11 stage lengths.",
    ])

    forage_rows = []
    for key, stem, k17, k12, hay in FORAGE_BASAL:
        ini, mid, end = t17[k17]
        h = t12[k12]["MaxHeightM"]
        if hay:
            r11 = t11_row(t11, "Alfalfa, other cutting cycles", "Idaho, USA.")
            # The forage curve reaches its peak P = pct % of the cutting interval
            # before the next cutting and holds it until the cutting: the peak
            # share is the Table 11 mid-season and late stages of the cycle.
            pct = int(round(100.0 * (r11["Lmid"] + r11["Llate"]) / r11["TotalDays"]))
        for code, (u2, rh) in (("HM", CLIMATES["HM"]), ("AM", CLIMATES["AM"])):
            high = climate_adjust(mid, u2, rh, h)
            note = f"FAO-56 T17 Kcb {ini:.2f}/{mid:.2f}, eq. 70 u2={u2:g} RHmin={rh:g} h={h:g} m"
            if hay:
                note += "; peak from end of T11 dev. stage to cutting, cycle 5/20/10/10 d"
                forage_rows.append([f"{stem} {code}", code, pct, "", fmt(ini, 2), fmt(high, 2),
                                    memo(note), "F", "T", ""])
            else:
                note += "; no cuttings, peak at mid-season"
                forage_rows.append([f"{stem} {code}", code, 0, "", fmt(ini, 2), fmt(high, 2),
                                    memo(note), "F", "F", ""])
    write_table("CrpForag.DB", ["Crop Curve Name", "Climate/Wind", "Pk % After Harvest (Alf)",
                                "Pk Days Before Harvest", "Low Kc", "High Kc", "Notes", "Marked",
                                "Hay", "Pk Days After Harvest"], forage_rows, [
        "Basal curves of grasses and forage legumes.  SUBSTITUTE for the NEH Part 623 Ch. 2",
        "curves: FAO-56 Table 17 Kcb (low = after cutting, high = peak), eq. 70 adjusted.",
    ])
    return annual_rows, peren_rows, forage_rows


# --------------------------------------------------------------------------
# 6. TR-21 Blaney-Criddle curves

BC_ANNUAL_FIELDS = ["0% Kc", "5% Kc", "10% Kc", "15% Kc", "20% Kc", "25% Kc", "30% Kc",
                    "35 % Kc", "40% Kc", "45% Kc", "50% Kc", "55% Kc", "60% Kc", "65% Kc",
                    "70% Kc", "75% Kc", "80% Kc", "85% Kc", "90% Kc", "95 % Kc", "100%Kc"]

# SCS TR-21 (1970) crop growth stage coefficients as kept by the Colorado
# Decision Support Systems (HydroBase, StateCU crop coefficient file): annual
# crops by percent of season, perennial crops on the 1st and 15th of every
# month (day 366 = 1 January of the next year, the "Dec 31 Kc").
TR21_ANNUAL_NAMES = {
    "DRY_BEANS.TR21": "Dry beans (TR-21)", "SPRING_GRAIN.TR21": "Spring grain (TR-21)",
    "CORN_SILAGE.TR21": "Corn, silage (TR-21)", "SUGAR_BEETS.TR21": "Sugar beets (TR-21)",
    "CORN_GRAIN.TR21": "Corn, grain (TR-21)", "SWEET_CORN.TR21": "Sweet corn (TR-21)",
    "SNAP_BEANS.TR21": "Snap beans (TR-21)", "COTTON.TR21": "Cotton (TR-21)",
    "WHEAT_FALL.TR21": "Winter wheat, fall (TR-21)",
    "WHEAT_SPRING.TR21": "Winter wheat, spring (TR-21)",
    "VEGETABLES.TR21": "Vegetables (TR-21)", "POTATOES.TR21": "Potatoes (TR-21)",
    "SORGHUM_GRAIN.TR21": "Sorghum, grain (TR-21)",
}
TR21_PERENNIAL_NAMES = {
    "ALFALFA.TR21": "Alfalfa (TR-21)", "GRASS_PASTURE.TR21": "Pasture, grass (TR-21)",
    "ORCHARD_WITH_COVER.TR21": "Orchard, with cover (TR-21)",
    "ORCHARD_WO_COVER.TR21": "Orchard, no cover (TR-21)", "GRAPES.TR21": "Grapes (TR-21)",
}
BC_PERENNIAL_FIELDS = [f"{m} {d} Kc" for m in MONTHS for d in (1, 15)] + ["Dec 31 Kc"]
BC_PERENNIAL_DAYS = [day_of_year(m, d) for m in range(1, 13) for d in (1, 15)] + [366]


def read_commented(name):
    with open(os.path.join(INPUT, name), encoding="utf-8") as f:
        return list(csv.DictReader(line for line in f if not line.startswith("#")))


def build_bc():
    ann = read_commented("tr21_bc_kc_annual_statecu.csv")
    assert [int(r["percent_season"]) for r in ann] == list(range(0, 101, 5))
    rows = [[name] + [gen(float(r[key])) for r in ann] + ["F"]
            for key, name in TR21_ANNUAL_NAMES.items()]
    write_table("CrpBCAnu.DB", ["Crop Curve Name"] + BC_ANNUAL_FIELDS + ["Marked"], rows, [
        "TR-21 (SCS 1970) crop growth stage coefficients of annual crops by percent of season,",
        "as kept in the Colorado HydroBase / StateCU crop coefficient file (see SOURCES.md;",
        "the potato curve differs from the one of the CWCB 2004 report, which equals cotton).",
    ])
    per = read_commented("tr21_bc_kc_perennial_statecu.csv")
    assert [int(r["day_of_year"]) for r in per] == BC_PERENNIAL_DAYS
    rows = [[name] + [gen(float(r[key])) for r in per] + ["F"]
            for key, name in TR21_PERENNIAL_NAMES.items()]
    write_table("CrpBCPer.DB", ["Crop Curve Name"] + BC_PERENNIAL_FIELDS + ["Marked"], rows, [
        "TR-21 (SCS 1970) crop growth stage coefficients of perennial crops by date, as kept in",
        "the Colorado HydroBase / StateCU crop coefficient file; Dec 31 = its day 366 (1 Jan).",
    ])


def load_cch():
    """TR-21 season-start and season-end mean temperatures (F) and season
    lengths of the StateCU crop characteristics file."""
    return {r["crop"]: r for r in read_commented("tr21_crop_characteristics_statecu.csv")}


# --------------------------------------------------------------------------
# 10. Defaults (documented value by value in data/SOURCES.md)

LOCAL = {
    "Net Depth of Irrigation": "3", "Type of Irrigation": "Sprinklers- above canopy",
    "Surface Soil Type": "Silt Loam", "Days Wettings Develop": 7, "Days Wettings Mature": 10,
    "Hay 1st Cut Mo": 6, "Hay 1st Cut Day": 29, "Hay Last Cut Mo": 9, "Hay Last Cut Day": 27,
    "Hay Cuttings Number": 3, "Stress Factor": "1", "Sensitive": "F", "ASW": "50",
    "StationLoc": "Interior location", "StationType": "Agrometeorological station",
    "StationHeight": "2", "MetricUnits": "F", "WHRLocation": "",
    "WettingDays": "7", "ETo": "4", "App": "76.2", "Fw": "1.0", "U2": "2", "RHMin": "30",
    "SText": "MFT", "U2in": "4.47", "Appin": "3.00", "EToin": "0.16",
}


def build_defaults():
    hdr = ["ET Method", "Spring Carryover %", "Fall Carryover %", "Elevation Correction",
           "Password", "Peak ET Method"]
    write_table("SystemDefaults.db", hdr, [["FAONEH", "0", "0", "F", "", 0]], [
        "Initial system defaults; each value is explained in data/SOURCES.md.",
    ])
    hdr = (["Net Depth of Irrigation", "Type of Irrigation", "Surface Soil Type",
            "Days Wettings Develop", "Days Wettings Mature", "Hay 1st Cut Mo", "Hay 1st Cut Day",
            "Hay Last Cut Mo", "Hay Last Cut Day", "Hay Cuttings Number", "Stress Factor",
            "Sensitive", "ASW", "StationLoc", "StationType", "StationHeight"]
           + [f"Cor{i}" for i in range(1, 13)] + ["MetricUnits", "WHRLocation"]
           + [f"N{i}" for i in range(1, 13)]
           + ["WettingDays", "ETo", "App", "Fw", "U2", "RHMin", "SText", "U2in", "Appin", "EToin"])
    row = []
    for h in hdr:
        if h.startswith("Cor") or (h.startswith("N") and h[1:].isdigit()):
            row.append("0")
        else:
            row.append(LOCAL[h])
    write_table("LocalDefaults.db", hdr, [row], [
        "Initial local defaults; each value is explained in data/SOURCES.md.",
    ])


# --------------------------------------------------------------------------
# Farm water: application efficiency by irrigation type, crop salinity
# thresholds, a new job's farm values (see SOURCES.md, "Farm water").

# Field application efficiency (fraction) by the canonical irrigation type
# names of the crop dialog. "Rain" is no irrigation system and has no row.
#   TM3: Brouwer, C., Heibloem, M. (1986) Irrigation Water Management Training
#        Manual No. 3, Irrigation Water Needs, FAO; Annex I, indicative field
#        application efficiencies: surface irrigation (border, furrow, basin)
#        60 %, sprinkler irrigation 75 %, drip irrigation 90 %.
#   Schneider, A.D. (2000) Efficiency and uniformity of the LEPA and spray
#        sprinkler methods: a review, Trans. ASAE: reported LEPA application
#        efficiencies typically 95 to 98 %; the low end is shipped.
FARM_IRR_EFF = [
    ("Sprinklers- above canopy", 0.75, "FAO Training Manual 3 (1986) Annex I: sprinkler irrigation 75 %"),
    ("Borders and basin irrigation", 0.60, "FAO Training Manual 3 (1986) Annex I: surface (border, basin) 60 %"),
    ("Furrow- Large application depth", 0.60, "FAO Training Manual 3 (1986) Annex I: surface (furrow) 60 %"),
    ("Furrow- Small application depth", 0.60, "FAO Training Manual 3 (1986) Annex I: surface (furrow) 60 %"),
    ("Furrow- Every other row irrigated", 0.60, "FAO Training Manual 3 (1986) Annex I: surface (furrow) 60 %"),
    ("Trickle irrigation", 0.90, "FAO Training Manual 3 (1986) Annex I: drip irrigation 90 %"),
    ("LEPA systems (every other row)", 0.95, "Schneider (2000) Trans. ASAE, LEPA review: typically 95-98 %, low end"),
]

# Soil salinity (ECe, dS/m) at 100 % yield potential: Ayers, R.S., Westcot,
# D.W. (1985) Water quality for agriculture, FAO Irrigation and Drainage
# Paper 29 Rev. 1, Table 4. Only crops of "QuenCrop.DB" with a published
# threshold; the mapping of each crop record is in SOURCES.md.
FARM_CROP_SALT = [
    ("Alfalfa hay", 2.0, "FAO-29 Table 4, forage crops: alfalfa"),
    ("Spring grain (barley, oats, wheat)", 6.0, "FAO-29 Table 4: wheat, the less tolerant of barley 8.0 and wheat (no oats)"),
    ("Winter wheat", 6.0, "FAO-29 Table 4, field crops: wheat (Triticum aestivum)"),
    ("Corn, grain", 1.7, "FAO-29 Table 4, field crops: corn (maize)"),
    ("Corn, silage", 1.8, "FAO-29 Table 4, forage crops: corn (forage)"),
    ("Beans, dry", 1.0, "FAO-29 Table 4, field crops: bean (Phaseolus vulgaris)"),
    ("Potatoes", 1.7, "FAO-29 Table 4, vegetable crops: potato"),
    ("Sugar beets", 7.0, "FAO-29 Table 4, field crops: sugarbeet"),
    ("Sorghum, grain", 6.8, "FAO-29 Table 4, field crops: sorghum"),
    ("Sweet corn", 1.7, "FAO-29 Table 4, vegetable crops: corn, sweet"),
    ("Onions, dry", 1.2, "FAO-29 Table 4, vegetable crops: onion"),
    ("Grapes, wine", 1.5, "FAO-29 Table 4, fruit crops: grape"),
    ("Tomatoes", 2.5, "FAO-29 Table 4, vegetable crops: tomato"),
    ("Beans, snap", 1.0, "FAO-29 Table 4, vegetable crops: bean (Phaseolus vulgaris)"),
    ("Cotton", 7.7, "FAO-29 Table 4, field crops: cotton"),
    ("Winter wheat, fall growth", 6.0, "FAO-29 Table 4, field crops: wheat (Triticum aestivum)"),
    ("Winter wheat, spring growth", 6.0, "FAO-29 Table 4, field crops: wheat (Triticum aestivum)"),
]


def build_farm_water():
    write_table("FarmIrrEff.db", ["Irrigation Type", "Application Eff", "Source"],
                [[t, gen(e), src] for t, e, src in FARM_IRR_EFF], [
        "Field application efficiency (fraction) by type of irrigation.",
        "Sources: FAO Irrigation Water Management Training Manual No. 3 (Brouwer and",
        "Heibloem 1986), Annex I; Schneider (2000), Trans. ASAE, for LEPA.",
        "\"Rain\" is no irrigation system: no row. See data/SOURCES.md, Farm water.",
    ])
    write_table("FarmCropSalt.db", ["Crop Name", "ECe Threshold", "Source"],
                [[c, gen(v), src] for c, v, src in FARM_CROP_SALT], [
        "Soil salinity (ECe of the saturation extract, dS/m) at 100 % yield potential.",
        "Source: Ayers and Westcot (1985), FAO Irrigation and Drainage Paper 29 Rev. 1,",
        "Table 4. Crops without a published threshold have no row (no leaching computed).",
        "See data/SOURCES.md, Farm water.",
    ])
    write_table("FarmDefaults.db", ["Conveyance Eff", "Hours Per Day", "ECw"], [["1", "24", "0"]], [
        "A new job's farm values: the program's neutral defaults, not published figures",
        "(no conveyance loss, continuous operation, no leaching); see data/SOURCES.md.",
    ])


# --------------------------------------------------------------------------
# 7, 8. Crop records and FAO-56 curves

# Crop records: name, basal (type, code, curve), BC (type, curve), FAO (T12 row, T11 crop/region),
# default dates are derived from the Table 11 row (see SOURCES.md).
CROPS = [
    # name, basal kind (None: no basal curve), basal stem, (BC kind, TR-21 key), T12 row,
    # T11 key, start (mo, day), end override
    ("Alfalfa hay", "forage", "Alfalfa hay", ("per", "ALFALFA.TR21"),
     "Alfalfa Hay, averaged cutting effects",
     ("Alfalfa, 1st cutting cycle", "Idaho, USA."), (4, 15), (9, 27)),
    # Table 11 prints no mid-season or late stage for grass pasture, so no FAO-56 curve
    ("Pasture, grass", "forage", "Pasture, grass", ("per", "GRASS_PASTURE.TR21"), None, None,
     (4, 15), (10, 15)),
    ("Spring grain (barley, oats, wheat)", "annual", "Spring grain", ("anu", "SPRING_GRAIN.TR21"),
     "Spring Wheat", ("Barley/Oats/Wheat", "35-45 °L"), None, None),
    ("Winter wheat", "annual", "Winter wheat", None, "Winter Wheat, with frozen soils",
     ("Winter Wheat", "Idaho, USA"), None, None),
    ("Corn, grain", "annual", "Corn, grain", ("anu", "CORN_GRAIN.TR21"),
     "Maize, Field (grain) (field corn)", ("Maize (grain)", "Idaho, USA"), None, None),
    ("Corn, silage", "annual", "Corn, silage", ("anu", "CORN_SILAGE.TR21"), None,
     ("Maize (grain)", "Idaho, USA"), None, None),
    ("Beans, dry", "annual", "Beans, dry", ("anu", "DRY_BEANS.TR21"), "Beans, dry and Pulses",
     ("Beans (dry)", "Idaho, USA"), None, None),
    ("Potatoes", "annual", "Potatoes", ("anu", "POTATOES.TR21"), "Potato",
     ("Potato", "Idaho, USA"), None, None),
    ("Sugar beets", "annual", "Sugar beets", ("anu", "SUGAR_BEETS.TR21"), "Sugar Beet",
     ("Sugarbeet", "Idaho, USA"), None, None),
    ("Sorghum, grain", "annual", "Sorghum, grain", ("anu", "SORGHUM_GRAIN.TR21"), "Sorghum, grain",
     ("Sorghum", "USA, Pakis., Med."), None, None),
    ("Sweet corn", "annual", "Sweet corn", ("anu", "SWEET_CORN.TR21"), "Maize, Sweet (sweet corn)",
     ("Maize (sweet)", "Idaho, USA"), None, None),
    ("Onions, dry", "annual", "Onions, dry", None, "Onions, dry",
     ("Onion (dry)", "Mediterranean"), None, None),
    ("Orchard (apples, cherries, pears)", "peren", "Orchard, apple/cherry/pear",
     ("per", "ORCHARD_WO_COVER.TR21"), "Apples, Cherries, Pears, no ground cover, killing frost",
     ("Deciduous Orchard", "High Latitudes"), None, None),
    ("Grapes, wine", "peren", "Grapes, wine", ("per", "GRAPES.TR21"), "Grapes, Wine",
     ("Grapes", "Mid Latitudes (wine)"), None, None),
    # processing and fresh-market tomatoes: FAO-56 Tables 11 (California), 12 and 17;
    # no TR-21 curve in the StateCU copy, so no Blaney-Criddle curve
    ("Tomatoes", "annual", "Tomatoes", None, "Tomato", ("Tomato", "Calif., USA"), None, None),
    # crops added with the TR-21 curves
    ("Orchard with cover crop", None, None, ("per", "ORCHARD_WITH_COVER.TR21"),
     "Apples, Cherries, Pears, active ground cover, killing frost",
     ("Deciduous Orchard", "High Latitudes"), None, None),
    ("Beans, snap", None, None, ("anu", "SNAP_BEANS.TR21"), "Beans, green",
     ("Beans (green)", "Calif., Mediterranean"), (4, 15), None),
    ("Cotton", None, None, ("anu", "COTTON.TR21"), "Cotton", ("Cotton", "Texas"), None, None),
    # TR-21 divides winter wheat into its fall and its spring growth; the
    # programs count one calendar year, so each part is a crop of its own
    # (dates: the StateCU crop characteristics, 1 Sep - 31 Dec and, for the
    # spring part, the 152 days before 15 July)
    ("Winter wheat, fall growth", None, None, ("anu", "WHEAT_FALL.TR21"), None, None,
     (9, 1), (12, 31)),
    ("Winter wheat, spring growth", None, None, ("anu", "WHEAT_SPRING.TR21"), None, None,
     (2, 13), (7, 15)),
    # a general vegetable curve; dates are a PLACEHOLDER (15 May + the 146-day season)
    ("Vegetables (general)", None, None, ("anu", "VEGETABLES.TR21"), None, None,
     (5, 15), (10, 8)),
]

BASAL_TYPE = {"annual": "Field and vegetable crops", "peren": "Perennial and specialty crops",
              "forage": "Grasses and forage legumes"}
# Crop records point at the variant of FAO-56 Table 17 as printed: the standard
# sub-humid climate (RHmin 45 %, u2 2 m/s), as the shipped FAO-56 curves carry
# Table 12 as printed; the eq. 70 arid and windy variants are the planner's
# choice for a site (see SOURCES.md).
CROP_CODE = "HM"
CLIMATE_CODES = ["HM", "HS", "AM", "AS"]  # order of the humidity/wind index


# Crops whose required grow days (shortest, longest) are FAO-56 Table 11
# season totals instead of the StateCU TR-21 season length: the StateCU cotton
# row's 240 days is a cap inside a whole-year window (planting 1 January,
# harvest 31 December), longer than the crop's own default season (Table 11
# Texas, 180 days) and any cotton season of Table 11 but the desert one
# (Texas 180, Egypt/Pakistan/California 195).
GROW_DAYS_T11 = {
    "Cotton": (("Cotton", "Texas"), ("Cotton", "Egypt; Pakistan; Calif.")),
}


# Crop names too long for a curve name of 40 characters: the stem of the FAO-56
# curve name instead (the Table 12 row's name for the orchard).
FAO_CURVE_STEM = {
    "Spring grain (barley, oats, wheat)": "Spring grain",
    "Orchard (apples, cherries, pears)": "Apples, cherries, pears",
}


# Crops whose default harvest is the planting date + the TR-21 season length
# (the crop's required grow days) instead of the Table 11 row's total: the
# Table 11 Idaho maize season (170 days) is longer than a Corn Belt season
# and than the crop's own 140 required days.
TR21_SEASON_DEFAULT = {"Corn, grain", "Corn, silage"}


def build_crops(t11, t12):
    fao_rows = []
    crop_rows = []
    cch = load_cch()
    for name, kind, stem, bc, k12, k11, start, end in CROPS:
        r11 = t11_row(t11, *k11) if k11 else None
        if start is None:
            start = (first_month(r11["PlantDate"]), 15)
        if end is None:
            end = month_day(day_of_year(*start) + int(r11["TotalDays"]))
        # growth temperatures and season length: TR-21 (StateCU crop characteristics)
        c = cch[bc[1]] if bc else None
        t_start = float(c["temp_early_moisture_F"]) if c else None
        t_end = float(c["temp_late_moisture_F"]) if c else None
        if c and name in TR21_SEASON_DEFAULT:
            end = month_day(day_of_year(*start) + int(c["season_length_days"]))
        if name in GROW_DAYS_T11:
            # the TR-21 (StateCU) season is not this crop's: FAO-56 Table 11 totals
            mind, maxd = (int(t11_row(t11, *k)["TotalDays"]) for k in GROW_DAYS_T11[name])
        elif c and bc[0] == "anu":
            # annual crops: the TR-21 season length is the required grow days
            mind = maxd = int(c["season_length_days"])
        elif c:
            # perennial crops: the season is set by the temperatures alone
            mind = maxd = None
        else:
            # seasons of forage crops are not one Table 11 row: no required length
            mind = int(r11["MinDays"]) if r11 and kind not in ("forage", None) else None
            maxd = int(r11["MaxDays"]) if r11 and kind not in ("forage", None) else None
        fao_name = ""
        if k12:
            t = t12[k12]
            fao_name = f"{FAO_CURVE_STEM.get(name, name)} - FAO-56 T12/T11"
            assert len(fao_name) <= 40, fao_name  # width of "Curve Name" in the working crops
            # The curve carries the crop's own Table 12 Kc ini, Kc mid and Kc end,
            # as "use Table 12 values" of the Kc calculation window sets them:
            # Table 12 gives them for typical wetting and a sub-humid climate
            # (FAO-56 Ch. 6). The local defaults are the inputs the window offers
            # when a planner asks for a local calculation (FAO-56 eq. 7, 62).
            kcb, kcp, kcm = t["Kcini"], t["Kcmid"], t["Kcend"]
            fs = (gen(r11["Fs1"]), gen(r11["Fs2"]), gen(r11["Fs3"]))
            days = (gen(r11["MinDays"]), gen(r11["MaxDays"]))
            neh = f"{r11['CropName']}, {r11['Region']}"
            fao_rows.append([
                fao_name, gen(kcb), gen(kcp), gen(kcm), *fs,
                gen(t["Kcini"]), gen(t["Kcmid"]), gen(t["Kcend"]), gen(t["MaxHeightM"]),
                gen(t["MaxHeightF"]), *days, LOCAL["U2"], LOCAL["RHMin"], "F", neh, t["CropName"],
                LOCAL["WettingDays"], LOCAL["ETo"], LOCAL["App"], LOCAL["Fw"], LOCAL["SText"], "T",
                "FAO 56, Table 12 crops", LOCAL["EToin"], LOCAL["Appin"], LOCAL["U2in"]])
        bas_name = f"{stem} {CROP_CODE}" if kind else ""
        bc_type = "" if not bc else ("Blaney Criddle Annual Crop" if bc[0] == "anu"
                                     else "Blaney Criddle Perennial Crop")
        bc_name = "" if not bc else (TR21_ANNUAL_NAMES if bc[0] == "anu" else TR21_PERENNIAL_NAMES)[bc[1]]
        crop_rows.append([
            name, BASAL_TYPE[kind] if kind else "", CROP_CODE if kind else "", bas_name,
            bc_type, bc_name,
            "FAO 56, Table 12 crops" if fao_name else "", fao_name,
            start[0], start[1], end[0], end[1],
            "" if mind is None else mind, "" if maxd is None else maxd,
            "" if t_start is None else gen(t_start), "" if t_start is None else fmt(f_to_c(t_start), 2),
            "" if t_end is None else gen(t_end), "" if t_end is None else fmt(f_to_c(t_end), 2),
            crop_note(name, kind, k12, k11, bc), "F"])
    write_table("CrpFAOCurv.DB", [
        "CropCurveName", "Kcb", "Kcp", "Kcm", "Fs1", "Fs2", "Fs3", "Kcini", "Kcmid", "Kcend",
        "MaxHeightM", "MaxHeightF", "DaysMin", "DaysMax", "U2", "RHMin", "Marked",
        "NEH2CropType", "FAOCropName", "WettingDays", "ETo", "App", "Fw", "SText", "UseFAO5612",
        "FAOCropType", "EToin", "Appin", "U2in"], fao_rows, [
        "FAO-56 curves of the shipped crop records: the crop's own Table 12 Kc ini, Kc mid and Kc end",
        "(UseFAO5612 true; no local calculation); stage fractions from Table 11.",
    ])
    write_table("QuenCrop.DB", [
        "Cop Name", "Bas Crop Type", "Humidity/Wind", "Bas Crop Curve Name", "BC Crop Type",
        "BC Crop Curve Name", "FAOCropType", "FAOCropCurveName", "Plant Mo", "Plant Day",
        "Harvest Mo", "Harvest Day", "Min Grow Days", "Max Grow Days", "SpringAvTemp",
        "SpringAvTempM", "FallAvTemp", "FallAvTempM", "Notes", "Marked"], crop_rows, [
        "Crop records tying a crop to its basal, Blaney-Criddle and FAO-56 curves.",
        "Default dates: 15th of the Table 11 planting month plus the Table 11 season (see SOURCES.md).",
    ])
    write_table("CrpLastUse.db", ["Record Name", "Basil Curve Name", "BC Curve Name",
                                  "FAOCurveName", "Humidity/Wind Index", "Basil Type Index",
                                  "BC Type Index"],
                [["Defaults", f"Corn, grain {CROP_CODE}", "Spring grain (TR-21)",
                  "Corn, grain - FAO-56 T12/T11", CLIMATE_CODES.index(CROP_CODE), 0, 0]],
                ["Selection defaults offered when a new crop record is created."])
    return crop_rows, fao_rows


def crop_note(name, kind, k12, k11, bc):
    parts = ["Basal: FAO-56 T17 substitute." if kind else "Basal: none.",
             "BC: TR-21, temps TR-21." if bc else "BC: none.",
             "FAO-56: T12." if k12 else "FAO-56: no T12 row."]
    if name.startswith("Winter wheat,"):
        parts.append("Dates: TR-21 season (StateCU).")
    elif name in TR21_SEASON_DEFAULT:
        parts.append(f"Dates: T11 {k11[1]} planting + TR-21 season.")
    elif k11:
        parts.append(f"Dates: T11 {k11[0]}, {k11[1]}.")
    else:
        parts.append("Dates: placeholder, set them from the site.")
    return memo(" ".join(parts))


def memo(text):
    assert len(text) <= 120, (len(text), text)
    return text


# --------------------------------------------------------------------------
# 9. Climate: stations, county list, wind/humidity/radiation

# NCDC 1971-2000 Monthly Normals, KETCHUM RS, IDAHO (COOP 10-4845), as published
# by the Western Regional Climate Center (cliNORMNCDC2000.pl?id4845).
KETCHUM = {
    "tmax": [31.6, 37.0, 43.7, 53.5, 62.9, 72.1, 80.9, 79.9, 70.1, 58.7, 42.0, 32.3],
    "tmean": [17.8, 22.2, 29.6, 38.9, 47.4, 54.8, 61.9, 60.3, 51.7, 41.7, 28.2, 18.9],
    "tmin": [3.9, 7.4, 15.4, 24.2, 31.8, 37.5, 42.8, 40.6, 33.2, 24.7, 14.4, 5.4],
    "precip": [2.25, 2.06, 1.96, 1.23, 1.83, 1.48, 0.86, 0.82, 1.19, 1.13, 1.78, 2.32],
}

AZMET_LOCATION = "Maricopa AZMET, Arizona"


# Position of AZMET station 06 (Maricopa) in degrees and minutes run together.
AZMET_LAT = noaa_climate.ddmm(33.0689)
AZMET_LON = noaa_climate.ddmm(111.9722)


def load_azmet():
    rows = read_input("climate_monthly_azmet_maricopa.csv")
    assert [r["month"] for r in rows] == [m.lower() for m in MONTHS]
    return rows




def stations(az):
    """Shipped stations, in the order of their state files (one file per state):
    the two stations of the first release and the NOAA first-order stations."""
    own = [
        {
            "state_file": "arizona", "state": "AZ",
            "name": "MARICOPA AZMET", "county": "Pinal, AZ", "no": "AZMET06",
            "whr": AZMET_LOCATION,
            # AZMET's station list (University of Arizona, azmet-station-info):
            # 33.0689 N, 111.9722 W, 1188 ft
            "lat": AZMET_LAT, "lon": AZMET_LON, "elev": 1188,
            "tmax": [float(r["tmax_F"]) for r in az], "tmin": [float(r["tmin_F"]) for r in az],
            "tmean": [float(r["tmean_F"]) for r in az],
            "precip": [float(r["precip_in_month_mean"]) for r in az],
            # observation means, no freeze statistics published with them
            "frost": [None] * 4,
        },
        {
            "state_file": "idaho", "state": "ID",
            "name": "KETCHUM RS", "county": "Blaine, ID", "no": "104845", "whr": "",
            # position of the town of Ketchum, Idaho (gazetteer), not surveyed station metadata
            "lat": 4341, "lon": 11422, "elev": 5820,
            # published (NCDC freeze/frost data) but not obtained; see SOURCES.md
            **KETCHUM, "frost": [None] * 4,
        },
    ]
    noaa, left_out, resolved = noaa_climate.load(INPUT)
    for s in noaa:
        s["whr"] = noaa_climate.whr_location(s)["name"] if s["whr_data"] else ""
    sts = own + noaa
    sts.sort(key=lambda s: s["state_file"])  # stable: own station first within its state
    return sts, left_out, resolved


# A freeze date not known for the station: the state file writes this token,
# the import stores an empty field (see data/README.md).
UNKNOWN_DATE = "--/--"


def quen_record(number, s):
    """One station record, written exactly as the report converter writes it
    ("#%d %s|%s|%s \n", "%d %d %d \n", twelve "%-5.1lf " / "%-5.2lf ", dates)."""
    lines = [f"#{number} {s['county']}|{s['name']}|{s['no']} \n",
             f"{s['lat']} {s['lon']} {s['elev']} \n"]
    for key in ("tmax", "tmin", "tmean"):
        lines.append("".join(f"{v:<5.1f} " for v in s[key]) + "\n")
    lines.append("".join(f"{v:<5.2f} " for v in s["precip"]) + "\n")
    f = s["frost"]  # spring 28, fall 28, spring 32, fall 32
    if all(d is None for d in f):
        lines.append("\n\n")
    else:
        lines.append(" ".join(d or UNKNOWN_DATE for d in f) + " \n\n")
    for line in lines:
        assert len(line) <= 83, line  # 82 characters and the newline
    return "".join(lines)


def state_code(county):
    return county.rsplit(", ", 1)[1]


def build_climate():
    az = load_azmet()
    sts, left_out, resolved = stations(az)
    # one station record file per state: data/stations/<state>.quen
    files = {}
    for s in sts:
        files.setdefault(s["state_file"], []).append(s)
    os.makedirs(STATIONS, exist_ok=True)
    for old in os.listdir(STATIONS):
        if old.endswith(".quen"):
            os.remove(os.path.join(STATIONS, old))
    for name, members in files.items():
        assert len({state_code(s["county"]) for s in members}) == 1, name
        text = "".join(quen_record(i, s) for i, s in enumerate(members, start=1))
        with open(os.path.join(STATIONS, name + ".quen"), "w", encoding="ascii", newline="\n") as fh:
            fh.write(text)

    # Climate.DB rows hold what the state-file import stores for the same records
    hdr = (["Station Name", "County", "Station No", "WHRLocation", "Latitude", "Longitude",
            "Elevation", "Spr mo/dy 28", "Spr mo/dy 32", "Fall mo/dy 28", "Fall mo/dy 32"]
           + [f"T{m}" for m in range(1, 13)] + [f"P{m}" for m in range(1, 13)] + ["Marked"]
           + [f"Tmin{m}" for m in range(1, 13)] + [f"Tmax{m}" for m in range(1, 13)]
           + ["ElevationM"] + [f"Tm{m}" for m in range(1, 13)]
           + [f"TminM{m}" for m in range(1, 13)] + [f"TmaxM{m}" for m in range(1, 13)]
           + [f"Pm{m}" for m in range(1, 13)])
    rows = []
    for s in sts:
        assert len(s["name"]) <= 35 and len(s["county"]) <= 25 and len(s["no"]) + 1 <= 8, s["name"]
        f = [d or "" for d in s["frost"]]
        rows.append([s["name"], s["county"], s["no"] + " ", s["whr"], s["lat"], s["lon"], s["elev"],
                     f[0], f[2], f[1], f[3]]
                    + [fmt(v, 1) for v in s["tmean"]] + [fmt(v, 2) for v in s["precip"]] + ["F"]
                    + [fmt(v, 1) for v in s["tmin"]] + [fmt(v, 1) for v in s["tmax"]]
                    + [fmt(s["elev"] * FT_TO_M, 0)]
                    + [fmt(f_to_c(v), 2) for v in s["tmean"]]
                    + [fmt(f_to_c(v), 2) for v in s["tmin"]]
                    + [fmt(f_to_c(v), 2) for v in s["tmax"]]
                    + [fmt(v * 2.54, 2) for v in s["precip"]])
    write_table("Climate.DB", hdr, rows, [
        "Stations of the state files data/stations/*.quen as the state-file import stores them.",
        "NOAA NCEI 1981-2010 Climate Normals of the first-order stations (Comparative Climatic",
        "Data), positions from the GHCN-Daily station list, counties from the Census 2020",
        "county boundaries; 28 F and 32 F freeze dates: NOAA 1981-2010 normals (50 %).",
        "KETCHUM RS: NCDC 1971-2000 normals.  MARICOPA AZMET: AZMET",
        "2003-2020 monthly means.  Empty freeze date: not known (see data/SOURCES.md), not 00/00.",
    ])
    counties = sorted({s["county"] for s in sts})
    write_table("County.db", ["County"], [[c] for c in counties], ["County list of Climate.DB."])

    # wind, humidity and radiation
    hdr = (["WHRLocation"] + [f"RHmin{m}" for m in range(1, 13)] + [f"RHmax{m}" for m in range(1, 13)]
           + [f"Cor{m}" for m in range(1, 13)] + [f"U2{m}" for m in range(1, 13)]
           + [f"Rs{m}" for m in range(1, 13)] + ["Site Description/Notes", "Marked"]
           + [f"Rsm{m}" for m in range(1, 13)] + [f"U2m{m}" for m in range(1, 13)]
           + [f"As{m}" for m in range(1, 13)]
           + ["StationType", "StationHeight", "StationLoc", "Latitude", "Longitude"]
           + [f"N{m}" for m in range(1, 13)] + [f"Bs{m}" for m in range(1, 13)])
    wind = [float(r["wind_m_s_at_3m"]) for r in az]
    srad = [float(r["srad_MJ_m2_d"]) for r in az]
    # AZMET measures wind at 3 m: typed "Other type station" so that the
    # computation reduces it to 2 m by FAO-56 eq. 47
    whr_rows = [[AZMET_LOCATION] + [r["rhmin_pct"] for r in az] + [r["rhmax_pct"] for r in az]
                + [""] * 12 + [fmt(w * 2.236936, 2) for w in wind]
                + [fmt(s * 23.8846, 1) for s in srad]
                + ["AZMET station 06 (Univ. of Arizona), Maricopa AZ; monthly means of daily "
                   "observations 2003-2020; wind measured at 3 m", "F"]
                + [fmt(s, 2) for s in srad] + [fmt(w * 86.4, 1) for w in wind]
                + ["0.25"] * 12 + ["Other type station", "3", "Interior location", AZMET_LAT, AZMET_LON]
                + ["0"] * 12 + ["0.5"] * 12]
    for s in sts:
        if not s.get("whr_data"):
            continue
        w = noaa_climate.whr_location(s)
        mph = w["wind"]
        note = (f"NOAA CCD 2018 WBAN {w['wban']}: wind mph at {noaa_climate.ANEMOMETER_HEIGHT_M} m "
                f"(assumed) POR {w['por_wind']}; RH max/min = morning/afternoon POR {w['por_rh']}")
        note += f"; sunshine % POR {w['por_sun']}" if w["por_sun"] else "; no sunshine data"
        assert len(note) <= 160, note
        whr_rows.append([w["name"]] + [fmt(v, 0) for v in w["rhmin"]] + [fmt(v, 0) for v in w["rhmax"]]
                        + [""] * 12 + [fmt(v, 1) for v in mph] + ["0"] * 12 + [note, "F"]
                        + ["0"] * 12 + [fmt(v / 2.236936 * 86.4, 1) for v in mph]
                        + ["0.25"] * 12
                        + ["Other type station", noaa_climate.ANEMOMETER_HEIGHT_M,
                           "Interior location", s["lat"], s["lon"]]
                        + [fmt(v, 2) for v in w["n"]] + ["0.5"] * 12)
    names = [r[0] for r in whr_rows]
    assert len(names) == len(set(names))
    write_table("ClimWHR.DB", hdr, whr_rows, [
        "Wind, humidity and sunshine.  AZMET Maricopa (06): monthly means of daily observations",
        "2003-2020, wind at 3 m.  NOAA first-order stations: NOAA NCEI Comparative Climatic Data",
        "2018, period-of-record means (not 30-year normals): wind at the anemometer (10 m",
        "assumed), RHmax = morning and RHmin = afternoon observation, sunshine hours n = percent",
        "of possible sunshine x daylight hours (0 = none published).  As/Bs: FAO-56 0.25/0.50.",
    ])
    report = os.path.join(HERE, "stations_left_out.txt")
    with open(report, "w", encoding="utf-8", newline="\n") as fh:
        fh.write("# NOAA CCD normals WBANs not shipped, and why (written by build_tables.py)\n")
        for wban, name, why in left_out:
            fh.write(f"{wban}\t{name}\t{why}\n")
        fh.write("# SUSPECT WBANs (USCRN sites) shipped under their own id\n")
        for wban, name, alt, alt_name in resolved:
            fh.write(f"{wban}\t{name}\t-> {alt} {alt_name}\n")
    return sts


# --------------------------------------------------------------------------
# 9. Daily soil-water balance: crop root depth, p, height and basal Kcb;
#    surface soil water of the six soils of the crop inputs

# Per shipped crop ("Cop Name"): the FAO-56 Table 22 row (maximum effective
# rooting depth Zr and soil water depletion fraction p), the Table 12 row
# (maximum crop height) and the Table 17 row (Kcb ini, mid, end) it takes.
# A printed range is stored as its midpoint (as CrpFAO56Tbl.db does), except
# where the note names the end a Table 17 footnote gives for the crop.
# "Vegetables (general)" has no single row in Tables 22, 12 or 17: no row.
DAILY_CROPS = [
    # Cop Name, Table 22 crop, Table 12 row, Table 17 row, Table 17 choice
    ("Alfalfa hay", "alfalfa for hay", "Alfalfa Hay, averaged cutting effects",
     "Alfalfa Hay - individual cutting periods", None),
    ("Pasture, grass", "grazing pasture rotated", "Grazing Pasture, Rotated Grazing",
     "Grazing Pasture - Rotated Grazing", None),
    ("Spring grain (barley, oats, wheat)", "spring wheat", "Spring Wheat", "Spring Wheat", None),
    ("Winter wheat", "winter wheat", "Winter Wheat, with non-frozen soils", "Winter Wheat", "ini 0.15"),
    ("Corn, grain", "maize field grain corn", "Maize, Field (grain) (field corn)",
     "Maize - Field (grain) (field corn)", "end 0.15"),
    ("Corn, silage", "maize field grain corn", "Maize, Field (grain) (field corn)",
     "Maize - Field (grain) (field corn)", "end 0.50"),
    ("Beans, dry", "beans dry pulses", "Beans, dry and Pulses", "Beans, dry and Pulses", None),
    ("Potatoes", "potato", "Potato", "Potato", None),
    ("Sugar beets", "sugar beet", "Sugar Beet", "Sugar Beet", None),
    ("Sorghum, grain", "sorghum grain", "Sorghum, grain", "Sorghum - grain", None),
    ("Sweet corn", "maize sweet corn", "Maize, Sweet (sweet corn)", "Maize - Sweet (sweet corn)", None),
    ("Onions, dry", "onions dry", "Onions, dry", "Onions - dry", None),
    ("Orchard (apples, cherries, pears)", "apples cherries pears",
     "Apples, Cherries, Pears, no ground cover, killing frost",
     "Apples, Cherries, Pears - no ground cover, killing frost", None),
    ("Grapes, wine", "grapes wine", "Grapes, Wine", "Grapes - Wine", None),
    ("Tomatoes", "tomato", "Tomato", "Tomato", None),
    ("Orchard with cover crop", "apples cherries pears",
     "Apples, Cherries, Pears, active ground cover, killing frost",
     "Apples, Cherries, Pears - active ground cover, killing frost", None),
    ("Beans, snap", "beans green", "Beans, green", "Beans, green", None),
    ("Cotton", "cotton", "Cotton", "Cotton", None),
    ("Winter wheat, fall growth", "winter wheat", "Winter Wheat, with non-frozen soils", "Winter Wheat", "ini 0.15"),
    ("Winter wheat, spring growth", "winter wheat", "Winter Wheat, with non-frozen soils", "Winter Wheat", "ini 0.15"),
]

# FAO-56 Table 19 (soil water characteristics), the middle of each printed
# range, for the soils of the crop inputs. "Clay Loam" has no Table 19 row:
# no row (the daily balance refuses it, naming the soil).
DAILY_SOILS = [
    # Soil, Table 19 row, thetaFC range, thetaWP range, REW range (mm)
    ("Clay", "Clay", (0.32, 0.40), (0.20, 0.24), (8, 12)),
    ("Silt Loam", "Silt loam", (0.22, 0.36), (0.09, 0.21), (8, 11)),
    ("Sandy Loam", "Sandy loam", (0.18, 0.28), (0.06, 0.16), (6, 10)),
    ("Loamy Sand", "Loamy sand", (0.11, 0.19), (0.03, 0.10), (4, 8)),
    ("Sand", "Sand", (0.07, 0.17), (0.02, 0.07), (2, 7)),
]


def t17_cell(cell, choice, which):
    if choice and choice.startswith(which + " "):
        value = float(choice.split()[1])
        allowed = {float(x) for alt in cell.split(",") for x in alt.split("-")}
        assert value in allowed, (cell, choice)
        return value
    assert "," not in cell, cell
    lo_hi = [float(x) for x in cell.split("-")]
    return (lo_hi[0] + lo_hi[-1]) / 2


def build_daily(t12):
    t22 = {r["crop"]: r for r in read_input("fao56_table22.csv")}
    t17 = {r["crop"]: r for r in read_commented("fao56_table17_kcb_printed.csv")}
    body = []
    for cop, k22, k12, k17, choice in DAILY_CROPS:
        r22, r12, r17 = t22[k22], t12[k12], t17[k17]
        lo, hi = float(r22["zr_max_min_m"]), float(r22["zr_max_max_m"])
        kcb = [t17_cell(r17[c], choice, w) for c, w in (("kcb_ini", "ini"), ("kcb_mid", "mid"), ("kcb_end", "end"))]
        src = "FAO-56 T22 %s; T12 %s; T17 %s" % (k22, k12, k17) + (" (%s)" % choice if choice else "")
        body.append([cop, gen(round((lo + hi) / 2, 3)), gen(lo), gen(hi), gen(float(r22["p_depletion"])),
                     gen(round(r12["MaxHeightM"], 3))] + [gen(round(v, 3)) for v in kcb] + [src])
    write_table("FAO56CropDaily.db",
                ["Crop Name", "Root Depth M", "Root Depth Min M", "Root Depth Max M", "P", "Max Height M",
                 "Kcb Ini", "Kcb Mid", "Kcb End", "Source"], body, [
        "Crop terms of the daily soil-water balance, per crop record (\"Cop Name\" of QuenCrop.DB):",
        "FAO-56 (Allen et al. 1998) Table 22 maximum effective rooting depth (m; Root Depth M the",
        "midpoint of the printed range) and soil water depletion fraction p (for ETc 5 mm/day);",
        "Table 12 maximum crop height (m); Table 17 basal Kcb ini, mid, end (ranges: midpoint,",
        "or the end the Table 17 footnote gives, named in Source). See data/SOURCES.md.",
    ])
    soils = []
    for soil, row, fc, wp, rew in DAILY_SOILS:
        soils.append([soil, gen(round(sum(fc) / 2, 4)), gen(round(sum(wp) / 2, 4)), gen(round(sum(rew) / 2, 2)),
                      "FAO-56 Table 19, %s: middle of the printed ranges" % row])
    write_table("FAO56SoilWater.db", ["Soil", "ThetaFC", "ThetaWP", "REW", "Source"], soils, [
        "Soil water of the soils of the crop inputs: FAO-56 (Allen et al. 1998) Table 19 field",
        "capacity and wilting point (m3/m3) and readily evaporable water REW (mm, Ze = 0.10 m),",
        "the middle of each printed range. Clay Loam has no Table 19 row: not shipped.",
    ])


def main():
    t11 = load_t11()
    t12_rows, t12 = load_t12()
    t17 = load_t17()
    check_t17(t17)
    build_mopctday()
    build_wetsoil()
    build_pcpchance()
    build_t12(t12_rows)
    build_t11(t11)
    build_basal(t11, t12, t17)
    build_bc()
    build_crops(t11, t12)
    build_defaults()
    build_farm_water()
    build_daily(t12)
    build_climate()


if __name__ == "__main__":
    main()
