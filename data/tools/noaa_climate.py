"""NOAA first-order stations for the station table, the state files and the
wind/humidity/sunshine locations (used by build_tables.py; see SOURCES.md).

Inputs (tools/input/, verbatim transcriptions with their provenance in the
header lines):
- noaa_ccd_normals_1981_2010_monthly_temp_precip.csv: NOAA NCEI 1981-2010
  Climate Normals as published in the Comparative Climatic Data tables;
- noaa_ccd_station_metadata.csv: NOAA GHCN-Daily station list (position,
  elevation) and the Census 2020 county of each station;
- noaa_freeze_dates.csv: NOAA NCEI 1981-2010 normals, 50 % last spring and
  first fall 32 F dates;
- noaa_freeze_dates_28F.csv: the same normals' 50 % last spring and first
  fall 28 F dates (same rows);
- noaa_ccd_2018_wind_rh_sunshine_frostdays.csv: NOAA NCEI Comparative
  Climatic Data 2018, monthly mean wind, morning/afternoon relative humidity,
  percent of possible sunshine (period-of-record means).
"""
import csv
import math
import os

MONTH_KEYS = ["jan", "feb", "mar", "apr", "may", "jun", "jul", "aug", "sep", "oct", "nov", "dec"]

STATE_NAMES = {
    "AL": "Alabama", "AK": "Alaska", "AZ": "Arizona", "AR": "Arkansas", "CA": "California",
    "CO": "Colorado", "CT": "Connecticut", "DE": "Delaware", "FL": "Florida", "GA": "Georgia",
    "HI": "Hawaii", "ID": "Idaho", "IL": "Illinois", "IN": "Indiana", "IA": "Iowa",
    "KS": "Kansas", "KY": "Kentucky", "LA": "Louisiana", "ME": "Maine", "MD": "Maryland",
    "MA": "Massachusetts", "MI": "Michigan", "MN": "Minnesota", "MS": "Mississippi",
    "MO": "Missouri", "MT": "Montana", "NE": "Nebraska", "NV": "Nevada", "NH": "New Hampshire",
    "NJ": "New Jersey", "NM": "New Mexico", "NY": "New York", "NC": "North Carolina",
    "ND": "North Dakota", "OH": "Ohio", "OK": "Oklahoma", "OR": "Oregon", "PA": "Pennsylvania",
    "RI": "Rhode Island", "SC": "South Carolina", "SD": "South Dakota", "TN": "Tennessee",
    "TX": "Texas", "UT": "Utah", "VT": "Vermont", "VA": "Virginia", "WA": "Washington",
    "WV": "West Virginia", "WI": "Wisconsin", "WY": "Wyoming", "PR": "Puerto Rico",
}

# Assumed height of the anemometers of the NOAA first-order stations, m: the
# standard exposure of the ASOS wind sensor (10 m above ground, NWS/FAA
# Federal Standard for Siting Meteorological Sensors at Airports, FCM-S4).
ANEMOMETER_HEIGHT_M = 10


def read_csv(path):
    with open(path, encoding="utf-8") as f:
        return list(csv.DictReader(line for line in f if not line.startswith("#")))


def ddmm(value):
    """Decimal degrees -> degrees and minutes run together (41.32 -> 4119)."""
    a = abs(value)
    deg = int(a)
    minutes = int(math.floor((a - deg) * 60 + 0.5))
    if minutes == 60:
        deg, minutes = deg + 1, 0
    return deg * 100 + minutes


def ddmm_to_degrees(v):
    return v // 100 + (v % 100) / 60.0


def daylight_hours(month, lat_ddmm):
    """Maximum possible sunshine N (hours) of the month as the Penman-Monteith
    computation forms it: day J = floor(30.5 m - 15), FAO-56 eqs. 24, 25, 34."""
    phi = math.radians(ddmm_to_degrees(lat_ddmm))
    j = math.floor(30.5 * month - 15)
    dec = 0.409 * math.sin(2 * math.pi / 365 * j - 1.39)
    # North of the polar circle -tan(phi) tan(dec) leaves [-1, 1] around the
    # solstices: the sun does not set (ws = pi, N = 24 h) or does not rise
    # (ws = 0, N = 0), as the computation takes it.
    ws = math.acos(max(-1.0, min(1.0, -math.tan(phi) * math.tan(dec))))
    return 24 / math.pi * ws


def load(input_dir):
    """Station dicts (state order, then NOAA file order) and the record of
    what was left out and why."""
    p = lambda n: os.path.join(input_dir, n)
    normals = {}
    for r in read_csv(p("noaa_ccd_normals_1981_2010_monthly_temp_precip.csv")):
        normals.setdefault(r["wban"], {})[r["element"]] = [float(r[m]) for m in MONTH_KEYS]
    meta = read_csv(p("noaa_ccd_station_metadata.csv"))
    freeze = {r["wban"]: r for r in read_csv(p("noaa_freeze_dates.csv"))}
    freeze28 = {r["wban"]: r for r in read_csv(p("noaa_freeze_dates_28F.csv"))}
    whr = {}
    for r in read_csv(p("noaa_ccd_2018_wind_rh_sunshine_frostdays.csv")):
        whr.setdefault(r["wban"], {})[r["element"]] = r

    stations, left_out, resolved = [], [], []
    for m in meta:
        wban, st = m["wban"], m["state"]
        el = normals.get(wban, {})
        if st not in STATE_NAMES:
            left_out.append((wban, m["name"], "Pacific island outside the states (no county, "
                             "east longitude or southern latitude)"))
            continue
        if not all(k in el for k in ("tmax_F", "tmin_F", "tavg_F", "prcp_in")):
            left_out.append((wban, m["name"], "incomplete normals: only " + ", ".join(sorted(el))))
            continue
        number, name = wban, m["ghcn_name"]
        lat, lon, elev_m, county = float(m["latitude"]), float(m["longitude"]), \
            float(m["elevation_m"]), m["county_key"]
        own_frost = True
        if m["wban_check"].startswith("SUSPECT"):
            if "USCRN" not in m["wban_check"]:
                # Cincinnati: the CCD name is the Greater Cincinnati airport
                # (WBAN 93814, Kentucky), the id is Lunken Field (Ohio); which
                # of the two the figures belong to cannot be told.
                left_out.append((wban, m["name"], "WBAN and name denote different stations "
                                 "(" + m["alt_ghcn_name"] + " / " + m["ghcn_name"] + ")"))
                continue
            if sum(el["prcp_in"]) == 0:
                left_out.append((wban, m["name"], "USCRN site; normals print no precipitation "
                                 "(0.00 every month)"))
                continue
            # The WBAN is a USCRN site (2000s).  NOAA's 1981-2010 normals
            # include estimated normals for such sites, and the figures are
            # theirs, not the city airport's: their annual precipitation is
            # not the airport's published normal (Tucson Intl 11.59 in, Hilo
            # Intl 126.72 in; here 14.90 and 156.79).  Shipped under the
            # WBAN as given; the freeze dates NOAA publishes for the airport
            # are not taken over.
            resolved.append((wban, m["name"], wban, m["ghcn_name"] + " (USCRN, as given)"))
            own_frost = False
        s = {
            "state": st, "state_file": STATE_NAMES[st].lower().replace(" ", "_"),
            "name": name, "county": county, "no": number, "ccd_wban": wban,
            "lat": ddmm(lat), "lon": ddmm(lon), "elev": int(math.floor(elev_m * 3.28083 + 0.5)),
            "tmax": el["tmax_F"], "tmin": el["tmin_F"], "tmean": el["tavg_F"],
            "precip": el["prcp_in"],
        }
        s["frost"] = frost_dates(freeze.get(wban), freeze28.get(wban)) if own_frost else [None] * 4
        s["whr_data"] = None
        for w in (number, m["alt_wban"]):
            d = whr.get(w, {})
            if w and all(k in d for k in ("wind_mph", "rh_morning_pct", "rh_afternoon_pct")):
                s["whr_data"], s["whr_wban"] = d, w
                break
        stations.append(s)
    stations.sort(key=lambda s: s["state_file"])  # stable: NOAA order within a state
    names = [s["name"] for s in stations]
    assert len(names) == len(set(names)), "station names must be unique"
    return stations, left_out, resolved


def frost_dates(r, r28=None):
    """[spring 28, fall 28, spring 32, fall 32]; None = not known.

    The NOAA 50 % dates of each temperature.  NOAA's -6666 (frost-free: the
    probability of the temperature is below 50 % all year) is "00/00" (for
    32 F, 28 F is then "00/00" too: it is colder).  NOAA's -4444 (freezing
    possible in every month: no date) and a station without a record stay
    unknown."""
    if r is None:
        return [None] * 4
    sv = (r["special_value_spring_32F"], r["special_value_fall_32F"])
    if sv == ("-6666", "-6666"):
        return ["00/00"] * 4
    s32, f32 = season_dates(r["spring_32F_50pct"], r["fall_32F_50pct"])
    s28 = f28 = None
    if r28 is not None:
        v = (r28["spring28_p50"], r28["fall28_p50"])
        if v == ("-6666", "-6666"):
            s28 = f28 = "00/00"
        elif "-4444" not in v:
            s28, f28 = season_dates(*v)
    return [s28, f28, s32, f32]


def season_dates(spring, fall):
    """A spring and a fall date as the station table holds them (None when
    not given).  A first fall date that falls in the next January (Phoenix,
    central Florida, Galveston; at 28 F Eureka, Santa Barbara, Charleston)
    is "12/31": the programs count one calendar year (the date calculator
    takes the fall date's day of year in the same year as the spring date),
    so the season runs to the year's last day."""
    spring = spring or None
    fall = fall or None
    if spring and fall and fall < spring:
        fall = "12/31"
    return spring, fall


def whr_location(s):
    """The "ClimWHR.DB" values of one station with NOAA wind and humidity."""
    d = s["whr_data"]
    wind = [float(d["wind_mph"][m]) for m in MONTH_KEYS]
    rh_am = [float(d["rh_morning_pct"][m]) for m in MONTH_KEYS]
    rh_pm = [float(d["rh_afternoon_pct"][m]) for m in MONTH_KEYS]
    sun = d.get("pct_possible_sunshine")
    n = [0.0] * 12
    if sun is not None:
        n = [float(sun[k]) / 100.0 * daylight_hours(i + 1, s["lat"]) for i, k in enumerate(MONTH_KEYS)]
    return {
        # named after the station whose observations these are
        "name": (f"{s['name']}, {s['state']}" if s["whr_wban"] == s["no"] else
                 " ".join(d["wind_mph"]["name"].replace(",", ", ").split()) + f" WBAN {s['whr_wban']}")[:40],
        # the day's maximum is at least the higher, its minimum at most the
        # lower of the two observations (in a few winter months the afternoon
        # reading is the higher one)
        "wind": wind, "rhmax": [max(a, b) for a, b in zip(rh_am, rh_pm)],
        "rhmin": [min(a, b) for a, b in zip(rh_am, rh_pm)], "n": n,
        "rh_swapped": [i + 1 for i, (a, b) in enumerate(zip(rh_am, rh_pm)) if b > a],
        "por_wind": d["wind_mph"]["por"], "por_rh": d["rh_morning_pct"]["por"],
        "por_sun": sun["por"] if sun else "", "wban": s["whr_wban"],
    }
