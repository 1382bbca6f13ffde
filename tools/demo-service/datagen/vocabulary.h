#pragma once

// Real manufacturers, models and part groups the sample catalog is built from.

struct ModelSeed {
    const char* name;
    int start;  // YYYYMM
    int end;    // YYYYMM, 0 while still built
    int vclass; // 1 passenger, 2 truck, 3 motorcycle
    const char* body;
};

struct MakerSeed {
    int mfaid;
    const char* brand;
    const char* oeBrand; // who issues the original part numbers
    const char* hsn;     // KBA manufacturer key
    ModelSeed models[9];
};

inline const MakerSeed kMakers[] = {
    {5,
     "AUDI",
     "VAG",
     "0588",
     {{"A3 (8L1)", 199609, 200305, 1, "Hatchback"},
      {"A3 Sportback (8PA)", 200409, 201303, 1, "Hatchback"},
      {"A4 (8E2, B6)", 200011, 200412, 1, "Saloon"},
      {"A4 Avant (8K5, B8)", 200711, 201512, 1, "Estate"},
      {"A6 (4F2, C6)", 200405, 201103, 1, "Saloon"},
      {"Q5 (8RB)", 200811, 201705, 1, "SUV"},
      {"A4 (8W2, B9)", 201505, 0, 1, "Saloon"}}},
    {16,
     "BMW",
     "BMW",
     "0005",
     {{"3 (E36)", 199009, 199802, 1, "Saloon"},
      {"3 (E46)", 199802, 200504, 1, "Saloon"},
      {"3 Touring (E91)", 200509, 201206, 1, "Estate"},
      {"5 (E60)", 200307, 201003, 1, "Saloon"},
      {"X3 (E83)", 200401, 201108, 1, "SUV"},
      {"1 (F20)", 201105, 201906, 1, "Hatchback"},
      {"R 1200 GS", 200401, 201212, 3, "Enduro"},
      {"F 800 GS", 200801, 201812, 3, "Enduro"}}},
    {74,
     "MERCEDES-BENZ",
     "MERCEDES-BENZ",
     "0710",
     {{"C-CLASS (W202)", 199303, 200005, 1, "Saloon"},
      {"C-CLASS (W203)", 200005, 200708, 1, "Saloon"},
      {"E-CLASS (W211)", 200203, 200903, 1, "Saloon"},
      {"A-CLASS (W169)", 200409, 201206, 1, "Hatchback"},
      {"SPRINTER 3-t Van (906)", 200606, 201812, 1, "Van"},
      {"ACTROS MP2 / MP3", 200210, 201312, 2, "Tractor"},
      {"ATEGO 2", 200410, 201312, 2, "Platform/Chassis"}}},
    {121,
     "VW",
     "VAG",
     "0603",
     {{"GOLF III (1H1)", 199108, 199808, 1, "Hatchback"},
      {"GOLF IV (1J1)", 199708, 200606, 1, "Hatchback"},
      {"GOLF V (1K1)", 200310, 200902, 1, "Hatchback"},
      {"PASSAT B5.5 (3B3)", 200010, 200505, 1, "Saloon"},
      {"POLO (9N_)", 200110, 201211, 1, "Hatchback"},
      {"TOURAN (1T1, 1T2)", 200302, 201005, 1, "MPV"},
      {"GOLF VIII (CD1)", 201910, 0, 1, "Hatchback"}}},
    {84,
     "OPEL",
     "OPEL",
     "0035",
     {{"ASTRA G Hatchback (T98)", 199802, 200912, 1, "Hatchback"},
      {"ASTRA H (A04)", 200403, 201012, 1, "Hatchback"},
      {"CORSA C (X01)", 200009, 200912, 1, "Hatchback"},
      {"VECTRA B (J96)", 199510, 200207, 1, "Saloon"},
      {"INSIGNIA A (G09)", 200807, 201703, 1, "Saloon"}}},
    {36,
     "FORD",
     "FORD",
     "8566",
     {{"FOCUS (DAW, DBW)", 199810, 200503, 1, "Hatchback"},
      {"FOCUS II (DA_, HCP, DP)", 200407, 201209, 1, "Hatchback"},
      {"MONDEO III (B5Y)", 200010, 200708, 1, "Saloon"},
      {"FIESTA V (JH_, JD_)", 200111, 201006, 1, "Hatchback"},
      {"TRANSIT Bus (FD_, FB_)", 200001, 200605, 1, "Bus"},
      {"KUGA II (DM2)", 201303, 0, 1, "SUV"}}},
    {93,
     "RENAULT",
     "RENAULT",
     "3001",
     {{"CLIO II (BB_, CB_)", 199809, 200512, 1, "Hatchback"},
      {"MEGANE II (BM0/1_, CM0/1_)", 200207, 200811, 1, "Hatchback"},
      {"LAGUNA II (BG0/1_)", 200103, 200712, 1, "Saloon"},
      {"KANGOO (KC0/1_)", 199708, 200712, 1, "MPV"},
      {"CLIO V (BF_)", 201906, 0, 1, "Hatchback"}}},
    {88,
     "PEUGEOT",
     "PEUGEOT",
     "3003",
     {{"206 Hatchback (2A/C)", 199808, 200912, 1, "Hatchback"},
      {"307 (3A/C)", 200008, 200912, 1, "Hatchback"},
      {"407 (6D_)", 200405, 201012, 1, "Saloon"},
      {"308 II", 201309, 202106, 1, "Hatchback"}}},
    {111,
     "TOYOTA",
     "TOYOTA",
     "5013",
     {{"COROLLA (_E11_)", 199704, 200201, 1, "Saloon"},
      {"COROLLA (_E12_)", 200111, 200702, 1, "Hatchback"},
      {"YARIS (_P1_)", 199904, 200509, 1, "Hatchback"},
      {"AVENSIS (_T25_)", 200304, 200811, 1, "Saloon"},
      {"RAV 4 III (_A3_)", 200511, 201312, 1, "SUV"}}},
    {106,
     "SKODA",
     "VAG",
     "8004",
     {{"OCTAVIA I (1U2)", 199609, 201012, 1, "Hatchback"},
      {"OCTAVIA II (1Z3)", 200402, 201306, 1, "Hatchback"},
      {"FABIA I (6Y2)", 199908, 200812, 1, "Hatchback"},
      {"SUPERB I (3U4)", 200112, 200803, 1, "Saloon"}}},
    {4455,
     "MAN",
     "MAN",
     "0582",
     {{"TGA", 200003, 201012, 2, "Tractor"},
      {"TGX", 200709, 0, 2, "Tractor"},
      {"TGS", 200709, 0, 2, "Platform/Chassis"},
      {"TGL", 200510, 0, 2, "Platform/Chassis"}}},
};

struct EngineSeed {
    const char* name; // short type name
    int ccm;
    int kw;
    const char* fuel;
    const char* codes;
};

// Engines by vehicle class; a model takes a few that fit its years.
inline const EngineSeed kCarEngines[] = {
    {"1.4", 1390, 55, "Petrol", "AKQ, APE"},          {"1.6", 1595, 74, "Petrol", "AEH, AKL"},
    {"1.8 T", 1781, 110, "Petrol", "AUM, ARZ"},       {"2.0", 1984, 96, "Petrol", "ALT"},
    {"2.0 TFSI", 1984, 147, "Petrol", "BWA, CAWB"},   {"1.9 TDI", 1896, 77, "Diesel", "AVB, BKC"},
    {"2.0 TDI", 1968, 103, "Diesel", "BKD, CFFB"},    {"2.5 TDI", 2496, 120, "Diesel", "BAU"},
    {"3.0", 2979, 170, "Petrol", "M54 B30"},          {"1.2 16V", 1199, 55, "Petrol", "D4F 712"},
    {"1.5 dCi", 1461, 63, "Diesel", "K9K 702"},       {"2.2 CDI", 2148, 105, "Diesel", "OM 646.963"},
    {"1.6 HDi", 1560, 80, "Diesel", "9HZ (DV6TED4)"}, {"3.0 V6 TDI", 2967, 176, "Diesel", "CDUC"},
    {"1.0 TSI", 999, 81, "Petrol", "DKRF"},           {"2.0 Hybrid", 1987, 135, "Petrol/Electric", "M20A-FXS"},
};
inline const EngineSeed kTruckEngines[] = {
    {"18.440", 12419, 324, "Diesel", "D 2066 LF01"},
    {"18.480", 12419, 353, "Diesel", "D 2676 LF05"},
    {"1844 LS", 11946, 320, "Diesel", "OM 501 LA"},
    {"12.250", 6871, 184, "Diesel", "D 0836 LFL40"},
};
inline const EngineSeed kBikeEngines[] = {
    {"1200", 1170, 77, "Petrol", "R12"},
    {"800", 798, 63, "Petrol", "M808"},
};

// Part groups. Level 1 group, level 2 subgroup, level 3 component, level 4 the generic article,
// level 5 its fitting positions (when it has any).
enum PartFlag {
    ForCars = 1,
    ForTrucks = 2,
    ForBikes = 4,
    EngineTree = 8,
    AxleTree = 16,
    PetrolOnly = 32,
    DieselOnly = 64,
    Universal = 128, // fits every passenger car
};

struct ArticleSeed {
    const char* group;
    const char* subgroup;
    const char* component;
    const char* article;
    const char* positions; // '|' separated, empty when none
    const char* brands;    // '|' separated
    const char* extra;     // '|' separated names' additions
    const char* criteria;  // '|' separated "Name [unit]"
    int flags;
};

inline const ArticleSeed kArticles[] = {
    {"Brake System", "Disc Brake", "Brake Pads", "Brake Pad Set, disc brake", "Front Axle|Rear Axle",
     "ATE|TRW|BOSCH|BREMBO|FEBI BILSTEIN",
     "with acoustic wear warning|not prepared for wear indicator|excl. wear warning contact",
     "Width [mm]|Height [mm]|Thickness [mm]", ForCars | ForTrucks | ForBikes | AxleTree},
    {"Brake System", "Disc Brake", "Brake Discs", "Brake Disc", "Front Axle|Rear Axle",
     "ATE|TRW|BOSCH|BREMBO|FEBI BILSTEIN", "Vented|Solid|Coated",
     "Brake Disc Thickness [mm]|Outer diameter [mm]|Height [mm]", ForCars | ForTrucks | AxleTree},
    {"Brake System", "Disc Brake", "Brake Caliper", "Brake Caliper",
     "Front Axle Left|Front Axle Right|Rear Axle Left|Rear Axle Right", "ATE|TRW|BOSCH", "Remanufactured|New",
     "Piston Diameter [mm]", ForCars | AxleTree},
    {"Brake System", "Disc Brake", "Brake Caliper", "Repair Kit, brake caliper", "Front Axle|Rear Axle",
     "ATE|FEBI BILSTEIN|TRW", "", "Piston Diameter [mm]", ForCars | AxleTree},
    {"Brake System", "Disc Brake", "Wear Indicators", "Warning Contact, brake pad wear", "Front Axle|Rear Axle",
     "ATE|TRW|BOSCH|FEBI BILSTEIN", "", "Length [mm]", ForCars | AxleTree},
    {"Brake System", "Drum Brake", "Brake Shoes", "Brake Shoe Set", "Rear Axle", "ATE|TRW|BOSCH|FEBI BILSTEIN",
     "with lever|", "Width [mm]|Drum Diameter [mm]", ForCars | ForTrucks | AxleTree},
    {"Brake System", "Drum Brake", "Brake Drums", "Brake Drum", "Rear Axle", "ATE|TRW|BREMBO", "",
     "Drum Diameter [mm]|Height [mm]", ForCars | ForTrucks | AxleTree},
    {"Brake System", "Drum Brake", "Wheel Cylinders", "Wheel Brake Cylinder", "Rear Axle Left|Rear Axle Right",
     "ATE|TRW|BOSCH|FEBI BILSTEIN", "", "Piston Diameter [mm]", ForCars | AxleTree},
    {"Brake System", "Brake Hydraulics", "Brake Hoses", "Brake Hose", "Front Axle|Rear Axle",
     "ATE|TRW|BOSCH|FEBI BILSTEIN", "", "Length [mm]|Thread Size", ForCars | ForTrucks | AxleTree},
    {"Brake System", "Brake Hydraulics", "Master Cylinder", "Brake Master Cylinder", "", "ATE|TRW|BOSCH", "",
     "Piston Diameter [mm]", ForCars | AxleTree},
    {"Brake System", "Brake Hydraulics", "Brake Fluid", "Brake Fluid", "", "ATE|BOSCH|FEBI BILSTEIN",
     "DOT 4|DOT 4 LV|DOT 5.1", "Capacity [litre]", Universal},
    {"Brake System", "Parking Brake", "Cables", "Cable, parking brake", "Left|Right", "ATE|TRW|FEBI BILSTEIN", "",
     "Length [mm]", ForCars | AxleTree},
    {"Filters", "Engine Filters", "Oil Filter", "Oil Filter", "", "MANN-FILTER|MAHLE|BOSCH|FEBI BILSTEIN",
     "Filter Insert|Spin-on Filter", "Height [mm]|Outer diameter [mm]", ForCars | ForTrucks | ForBikes | EngineTree},
    {"Filters", "Engine Filters", "Air Filter", "Air Filter", "", "MANN-FILTER|MAHLE|BOSCH|FEBI BILSTEIN",
     "Filter Insert", "Length [mm]|Width [mm]|Height [mm]", ForCars | ForTrucks | ForBikes | EngineTree},
    {"Filters", "Engine Filters", "Fuel Filter", "Fuel Filter", "", "MANN-FILTER|MAHLE|BOSCH",
     "In-Line Filter|Filter Insert", "Height [mm]", ForCars | ForTrucks | EngineTree},
    {"Filters", "Interior Air", "Cabin Filter", "Filter, interior air", "",
     "MANN-FILTER|MAHLE|BOSCH|FEBI BILSTEIN|VALEO", "Activated Carbon Filter|Pollen Filter", "Length [mm]|Width [mm]",
     ForCars},
    {"Engine", "Crankcase", "Gaskets", "Gasket, cylinder head", "", "FEBI BILSTEIN|MAHLE", "", "Thickness [mm]",
     ForCars | ForTrucks | EngineTree},
    {"Engine", "Crankcase", "Oil Pan", "Oil Sump", "", "FEBI BILSTEIN|MAHLE", "", "", ForCars | EngineTree},
    {"Engine", "Engine Timing", "Timing Belt", "Timing Belt Kit", "", "GATES|BOSCH|FEBI BILSTEIN|VALEO",
     "with water pump|", "Number of Teeth|Width [mm]", ForCars | EngineTree},
    {"Engine", "Engine Timing", "Timing Belt", "Timing Belt", "", "GATES|BOSCH|FEBI BILSTEIN", "",
     "Number of Teeth|Width [mm]", ForCars | EngineTree},
    {"Engine", "Engine Timing", "Tensioners", "Tensioner Pulley, timing belt", "", "GATES|FEBI BILSTEIN", "",
     "Outer diameter [mm]", ForCars | EngineTree},
    {"Engine", "Engine Timing", "Timing Chain", "Timing Chain Kit", "", "FEBI BILSTEIN|GATES", "", "Number of Links",
     ForCars | ForBikes | EngineTree},
    {"Engine", "Engine Mounting", "Engine Mounts", "Engine Mounting", "Left|Right|Rear", "FEBI BILSTEIN|LEMFÖRDER", "",
     "", ForCars | ForTrucks | EngineTree},
    {"Suspension", "Shock Absorption", "Shock Absorbers", "Shock Absorber", "Front Axle|Rear Axle",
     "SACHS|BOSCH|FEBI BILSTEIN", "Gas Pressure|Twin-Tube|Mono-Tube", "Shock Absorber Type|Length [mm]",
     ForCars | ForTrucks | AxleTree},
    {"Suspension", "Shock Absorption", "Strut Mounts", "Top Strut Mounting", "Front Axle Left|Front Axle Right",
     "SACHS|LEMFÖRDER|FEBI BILSTEIN", "with ball bearing|", "", ForCars | AxleTree},
    {"Suspension", "Springs", "Coil Springs", "Coil Spring", "Front Axle|Rear Axle", "SACHS|FEBI BILSTEIN", "",
     "Length [mm]|Coil Diameter [mm]", ForCars | AxleTree},
    {"Suspension", "Wheel Suspension", "Control Arms", "Track Control Arm",
     "Front Axle Left|Front Axle Right|Rear Axle Left|Rear Axle Right", "LEMFÖRDER|TRW|FEBI BILSTEIN", "Lower|Upper",
     "Cone Size [mm]", ForCars | AxleTree},
    {"Suspension", "Wheel Suspension", "Ball Joints", "Ball Joint", "Front Axle Left|Front Axle Right",
     "LEMFÖRDER|TRW|FEBI BILSTEIN", "Lower|", "Cone Size [mm]|Thread Size", ForCars | ForTrucks | AxleTree},
    {"Suspension", "Wheel Suspension", "Bushes", "Control Arm-/Trailing Arm Bush", "Front Axle|Rear Axle",
     "LEMFÖRDER|FEBI BILSTEIN|TRW", "", "Inner Diameter [mm]", ForCars | AxleTree},
    {"Suspension", "Stabiliser", "Stabiliser Links", "Link/Coupling Rod, stabiliser bar",
     "Front Axle Left|Front Axle Right|Rear Axle", "LEMFÖRDER|TRW|FEBI BILSTEIN", "", "Length [mm]",
     ForCars | AxleTree},
    {"Steering", "Steering Linkage", "Tie Rod Ends", "Tie Rod End", "Front Axle Left|Front Axle Right",
     "LEMFÖRDER|TRW|FEBI BILSTEIN", "", "Thread Size|Cone Size [mm]", ForCars | ForTrucks | AxleTree},
    {"Steering", "Steering Linkage", "Axial Joints", "Inner Tie Rod", "Front Axle", "LEMFÖRDER|TRW|FEBI BILSTEIN", "",
     "Length [mm]", ForCars | AxleTree},
    {"Steering", "Power Steering", "Pumps", "Hydraulic Pump, steering system", "", "TRW|BOSCH|LEMFÖRDER", "",
     "Pressure [bar]", ForCars | AxleTree},
    {"Cooling System", "Radiator", "Radiators", "Radiator, engine cooling", "", "VALEO|MAHLE|FEBI BILSTEIN", "",
     "Core Dimensions [mm]", ForCars | ForTrucks | EngineTree},
    {"Cooling System", "Coolant Circuit", "Water Pumps", "Water Pump, engine cooling", "",
     "GATES|VALEO|FEBI BILSTEIN|MAHLE", "with gasket|", "Number of Teeth", ForCars | ForTrucks | EngineTree},
    {"Cooling System", "Coolant Circuit", "Thermostats", "Thermostat, coolant", "", "MAHLE|GATES|FEBI BILSTEIN",
     "with seal|", "Opening Temperature [°C]", ForCars | ForTrucks | EngineTree},
    {"Cooling System", "Fan", "Fans", "Fan, engine cooling", "", "VALEO|MAHLE|FEBI BILSTEIN", "", "Diameter [mm]",
     ForCars | EngineTree},
    {"Belt Drive", "V-Ribbed Belt", "Belts", "V-Ribbed Belt", "", "GATES|BOSCH|VALEO|FEBI BILSTEIN", "",
     "Length [mm]|Number of Ribs", ForCars | ForTrucks | EngineTree},
    {"Belt Drive", "V-Ribbed Belt", "Tensioners", "Belt Tensioner, v-ribbed belt", "", "GATES|FEBI BILSTEIN|VALEO", "",
     "Outer diameter [mm]", ForCars | EngineTree},
    {"Belt Drive", "V-Ribbed Belt", "Pulleys", "Deflection/Guide Pulley, v-ribbed belt", "", "GATES|FEBI BILSTEIN", "",
     "Outer diameter [mm]", ForCars | EngineTree},
    {"Ignition / Glow Plug System", "Ignition", "Spark Plugs", "Spark Plug", "", "NGK|BOSCH", "Iridium|Platinum|Nickel",
     "Thread Size|Spanner Size", ForCars | ForBikes | EngineTree | PetrolOnly},
    {"Ignition / Glow Plug System", "Ignition", "Ignition Coils", "Ignition Coil", "", "BOSCH|NGK|VALEO|FEBI BILSTEIN",
     "", "Number of Connectors", ForCars | EngineTree | PetrolOnly},
    {"Ignition / Glow Plug System", "Glow Plug System", "Glow Plugs", "Glow Plug", "", "BOSCH|NGK", "",
     "Voltage [V]|Thread Size", ForCars | EngineTree | DieselOnly},
    {"Clutch", "Clutch Parts", "Clutch Kits", "Clutch Kit", "", "SACHS|VALEO|FEBI BILSTEIN",
     "with release bearing|with flywheel", "Diameter [mm]|Number of Teeth", ForCars | ForTrucks},
    {"Clutch", "Clutch Parts", "Release Bearings", "Clutch Release Bearing", "", "SACHS|VALEO|FEBI BILSTEIN", "",
     "Inner Diameter [mm]", ForCars | ForTrucks},
    {"Clutch", "Flywheel", "Dual-Mass Flywheel", "Flywheel", "", "SACHS|VALEO", "Dual-mass", "Number of Teeth",
     ForCars},
    {"Electrics", "Generator", "Alternators", "Alternator", "", "BOSCH|VALEO", "Remanufactured|New",
     "Voltage [V]|Rated Current [A]", ForCars | ForTrucks | EngineTree},
    {"Electrics", "Starter System", "Starters", "Starter", "", "BOSCH|VALEO", "Remanufactured|New",
     "Voltage [V]|Rated Power [kW]", ForCars | ForTrucks | EngineTree},
    {"Electrics", "Sensors", "ABS Sensors", "Sensor, wheel speed", "Front Axle Left|Front Axle Right|Rear Axle",
     "ATE|BOSCH|TRW|FEBI BILSTEIN", "", "Length [mm]", ForCars | AxleTree},
    {"Electrics", "Sensors", "Lambda Sensors", "Lambda Sensor", "Before catalytic converter|After catalytic converter",
     "BOSCH|NGK", "", "Number of Connectors|Cable Length [mm]", ForCars | EngineTree},
    {"Electrics", "Window Cleaning", "Wiper Blades", "Wiper Blade", "Front|Rear", "BOSCH|VALEO",
     "Aerotwin|Silencio|Conventional", "Length [mm]", ForCars | ForTrucks},
    {"Wheel Drive", "Wheel Hub", "Wheel Bearings", "Wheel Bearing Kit", "Front Axle|Rear Axle",
     "FEBI BILSTEIN|SACHS|TRW", "with integrated ABS sensor|", "Inner Diameter [mm]|Outer diameter [mm]",
     ForCars | ForTrucks | AxleTree},
    {"Wheel Drive", "Drive Shaft", "Joints", "Joint Kit, drive shaft", "Wheel Side|Transmission End",
     "FEBI BILSTEIN|LEMFÖRDER", "", "Outer Teeth|Inner Teeth", ForCars | AxleTree},
    {"Wheel Drive", "Drive Shaft", "Boots", "Bellow Set, drive shaft", "Wheel Side|Transmission End",
     "FEBI BILSTEIN|LEMFÖRDER|TRW", "", "Length [mm]", ForCars | AxleTree},
    {"Exhaust System", "Exhaust Parts", "Mountings", "Holder, exhaust system", "", "FEBI BILSTEIN", "", "", ForCars},
};

inline const char* const kPartBrands[] = {"ATE",   "BOSCH",       "BREMBO", "FEBI BILSTEIN", "GATES", "LEMFÖRDER",
                                          "MAHLE", "MANN-FILTER", "NGK",    "SACHS",         "TRW",   "VALEO"};
// Brand ids as the catalog numbers them.
inline const int kPartBrandIds[] = {2, 30, 65, 101, 8, 35, 287, 4, 137, 144, 161, 21};

struct SiteSeed {
    int id;
    const char* name;
    int kind; // 1 shop, 2 e-platform (also a shop), anything else: not offered
    const char* currency;
};

inline const SiteSeed kSites[] = {
    {3, "autoteile-mahler.example", 1, "EUR"},
    {12, "partshub.example", 1, "GBP"},
    {15, "motoparts24.example", 1, "PLN"},
    {18, "pieces-auto.example", 1, "EUR"},
    {21, "bremsen-direkt.example", 1, "EUR"},
    {27, "carparts-nordic.example", 1, "SEK"},
    {44, "ebay.de", 2, "EUR"},
    {45, "ebay.co.uk", 2, "GBP"},
    {46, "amazon.de", 2, "EUR"},
    {47, "ebay.fr", 2, "EUR"},
    {52, "allegro.pl", 2, "PLN"},
    {7, "closed-shop.example", 3, "EUR"},
    {9, "price-robot-archive.example", 0, "USD"},
};
