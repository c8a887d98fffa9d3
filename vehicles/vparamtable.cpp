// The vehicle-parameter table: each row's key, type, place in the
// parameter block, the editor's range and its two help lines; and the
// values of the shipped parameter file.
#include <cstddef>

#include "vehicles/vparams.h"

namespace {

constexpr uint32_t kInt = 0, kDouble = 2;

#define SLOT(field) static_cast<uint32_t>(offsetof(TVPARAMBLOCK, field))
#define GEAR(n) static_cast<uint32_t>(offsetof(TVPARAMBLOCK, Gears) + (n) * sizeof(double))

constexpr const char* kGearHelp = "Rapport de boite de vitesse (moteur embrayage) pour la ";
constexpr const char* kSkidGrip = "Adherance en cas de derappage";
constexpr const char* kSkidGrip2 = "(?) fait derapper plus ou moins long temps";
constexpr const char* kGround = "Adherance du sol";
constexpr const char* kGround2 = "(?) fait derapper si petit";
constexpr const char* kAir2 = "(?) ralentit les mouvements a haute vitesse";
constexpr const char* kStatic = "Adherance en cas de non derappage";
constexpr const char* kStatic2 = "(?) pas touch, interne a ruf";
constexpr const char* kReaction = "Puissance de reaction du sol sur la caisse";
constexpr const char* kReaction2 = "(200000) molesse du sol profondeur de penetration (bugs si trop grand)";
constexpr const char* kNormal = "Frottements sur la verticale de la caisse";
constexpr const char* kNormal2 = "(10000) hauteur de rebond nombre de rebonds (bugs si trop faible)";

struct Row {
  const char* name;
  uint32_t type, field;
  float min, max;
  const char* help1;
  const char* help1Tail;  // appended to help1 (the gears' ordinal)
  const char* help2;
};

constexpr Row kRows[SB_NBVPARAMS] = {
    {"Frotdynamic:", kDouble, SLOT(Frotdynamic), 0, 400000, kSkidGrip, "", kSkidGrip2},
    {"Gear #1:", kDouble, GEAR(0), 0.5f, 6, kGearHelp, "1ere vitesse", "(3.30)"},
    {"Gear #2:", kDouble, GEAR(1), 0.5f, 6, kGearHelp, "2eme vitesse", "(1.99)"},
    {"Gear #3:", kDouble, GEAR(2), 0.5f, 6, kGearHelp, "3eme vitesse", "(1.35)"},
    {"Gear #4:", kDouble, GEAR(3), 0.5f, 6, kGearHelp, "4eme vitesse", "(1.00)"},
    {"Gear #5:", kDouble, GEAR(4), 0.5f, 6, kGearHelp, "5eme vitesse", "(0.79)"},
    {"Airfrict:", kDouble, SLOT(Airfrict), 0, 0.01f, "Frottements de l'air", "", kAir2},
    {"Airfrictrot:", kDouble, SLOT(Airfrictrot), 0, 0.1f, "Frottements de l'air de rotation", "", kAir2},
    {"Derappetimesmooth:", kDouble, SLOT(Derappetimesmooth), 0, 2,
     "Temps pendent lequel la voiture finit de derapper en smooth", "", ""},
    {"Derappetimemini:", kDouble, SLOT(Derappetimemini), 0, 4, "Temps minimal de derappage", "", ""},
    {"Derappetimeviragemini:", kDouble, SLOT(Derappetimeviragemini), 0, 4,
     "Temps minimal avant de derapper dans un virage", "", ""},
    {"Derappetimeapresmini:", kDouble, SLOT(Derappetimeapresmini), 0, 4,
     "Temps minimal avant de pouvoir a nouveau derapper apres la fin du derappage", "", ""},
    {"Roueadherance:", kDouble, SLOT(Roueadherance), 0, 2, kGround, "", kGround2},
    {"Roueadherancederapp:", kDouble, SLOT(Roueadherancederapp), 0, 40, kGround, "", kGround2},
    {"Rouefrotdynamic:", kDouble, SLOT(Rouefrotdynamic), 0, 1000, kSkidGrip, "", kSkidGrip2},
    {"Roueaccelderap:", kDouble, SLOT(Roueaccelderap), 0, 2, "Influence de la route sur la roue quand ca derappe",
     "", ""},
    {"Couplemini:", kDouble, SLOT(Couplemini), 1000, 10000, "Couple minimal du moteur", "",
     "(2500) permet d'augmenter le couple globalement mais en decalage"},
    {"Gear #6:", kDouble, GEAR(5), 0.5f, 6, kGearHelp, "6eme vitesse", "(0.60)"},
    {"Gear nb:", kInt, SLOT(GearNb), 4, 6, "Nombre de vitesses de la boite de vitesse", "", "(5)"},
    {"Trans essieu:", kDouble, SLOT(TransEssieu), 2, 5, "Rapport de transmission essieu (embrayage roue)", "",
     "(4.1)"},
    {"Power:", kDouble, SLOT(Power), 0.1f, 4, "Puissance du moteur", "",
     "(0.6) permet de reguler la puissance globale du moteur"},
    {"Embrayage1:", kDouble, SLOT(Embrayage1), 0.1f, 10, "Influence du moteur sur la roue", "",
     "(1.5) influence aussi la puissance"},
    {"Adherance:", kDouble, SLOT(Adherance), 0, 200, kGround, "", kGround2},
    {"Applyheight:", kDouble, SLOT(Applyheight), 0, 2, "Plus ou moins de tonneaux", "", ""},
    {"Amortheight:", kDouble, SLOT(Amortheight), 0, 2, "Hauteur de l'amortisseur", "", ""},
    {"Rouesolreaction:", kDouble, SLOT(Rouesolreaction), 0, 100000, kReaction, "", kReaction2},
    {"Rouesolfrotnormal:", kDouble, SLOT(Rouesolfrotnormal), 0, 20000, kNormal, "", kNormal2},
    {"Spoilerforce:", kDouble, SLOT(Spoilerforce), 0, 1000, "Force du spoileur", "", ""},
    {"Injection mini:", kDouble, SLOT(InjectionMini), 2, 10, "Injection du moteur pedale relachee", "",
     "(5) permet nottament de regler le regime vide a 1000tr/m environ"},
    {"Injection decrease:", kDouble, SLOT(InjectionDecrease), 100, 400, "Vitesse de diminution de l'injection",
     "", "(200) permet de ralentir l'effet du relachement de l'accelerateur au clavier"},
    {"Injection maxi:", kDouble, SLOT(InjectionMaxi), 200, 600, "Injection du moteur pedale enfoncee", "",
     "(400) permet de regler la puissance du moteur et le regime maxi"},
    {"Force frot int:", kDouble, SLOT(ForceFrotInt), 0.01f, 1, "Frottements interieurs du moteur", "",
     "(0.3) effet inverse de injection"},
    {"Motor masse:", kDouble, SLOT(MotorMasse), 10, 500, "Masse interieure du moteur en mouvement", "",
     "(100) ralentissement global des effets sur le moteur"},
    {"Motor chute start:", kDouble, SLOT(MotorChuteStart), 3000, 5000,
     "Debut de chute de puissance en tours par minute", "",
     "(4000) regime a partir du quel la puissance chute plus vite"},
    {"Force chute power:", kDouble, SLOT(ForceChutePower), 0.5f, 2, "Importance de la chute de puissance", "",
     "(1.0) vitesse avec la quelle elle chute"},
    {"Force start start:", kDouble, SLOT(ForceStartStart), 1000, 3000, "Fin de puissance superieure de bas regime",
     "", "(2000) permet de donner plus de puissance a tres bas regime"},
    {"Force start power:", kDouble, SLOT(ForceStartPower), 0.25f, 1,
     "Importance de la puissance superieure de bas regime", "", "(0.5) comme le precedent"},
    {"Turnspeed", kDouble, SLOT(Turnspeed), 2, 30, "Decalage entre l'appui de la touche et la roue qui tourne", "",
     "(8)"},
    {"Frotstatic:", kDouble, SLOT(Frotstatic), 0, 50000, kStatic, "", kStatic2},
    {"Solreaction:", kDouble, SLOT(Solreaction), 0, 200000, kReaction, "", kReaction2},
    {"Solfrotnormal:", kDouble, SLOT(Solfrotnormal), 0, 40000, kNormal, "", kNormal2},
    {"Rouefrotstatic:", kDouble, SLOT(Rouefrotstatic), 0, 50000, kStatic, "", kStatic2},
};

#undef SLOT
#undef GEAR

template <size_t N>
constexpr void Copy(char (&to)[N], const char* a, const char* b = "") {
  size_t i = 0;
  for (; *a && i + 1 < N; ++a) to[i++] = *a;
  for (; *b && i + 1 < N; ++b) to[i++] = *b;
  for (; i < N; ++i) to[i] = 0;
}

constexpr auto MakeTable() {
  struct Table {
    TVPARAMDESC rows[SB_NBVPARAMS];
  } t{};
  for (int32_t i = 0; i < SB_NBVPARAMS; ++i) {
    const Row& r = kRows[i];
    TVPARAMDESC& d = t.rows[i];
    Copy(d.Name, r.name);
    d.Type = r.type;
    d.Field = r.field;
    d.Min = r.min;
    d.Max = r.max;
    Copy(d.Help1, r.help1, r.help1Tail);
    Copy(d.Help2, r.help2);
  }
  return t;
}

constexpr auto kTable = MakeTable();

}  // namespace

const TVPARAMDESC* const SB_VParamTable = kTable.rows;

// The shipped file's values; "dat>vparams.txt" says why each chosen one is
// what it is.
const TVPARAMBLOCK SB_ShippedVParams = {
    .Gears = {4.0, 2.9, 2.11, 1.53, 1.13, 0.6},
    .GearNb = 5,
    .TransEssieu = 4.1,
    .Power = 0.6,
    .InjectionMini = 5.0,
    .InjectionDecrease = 200.0,
    .InjectionMaxi = 400.0,
    .ForceFrotInt = 0.3,
    .MotorMasse = 100.0,
    .MotorChuteStart = 5000.0,
    .ForceChutePower = 1.0,
    .ForceStartStart = 2000.0,
    .ForceStartPower = 0.5,
    .Couplemini = 2500.0,
    .Spoilerforce = 50.0,
    .Slot20 = 0.0,
    .Embrayage1 = 2.1,
    .Embrayage2 = 300.0,
    .Turnspeed = 8.0,
    .Solreaction = 200000.0,
    .Solfrotnormal = 10000.0,
    .Adherance = 100.0,
    .Frotstatic = 50000.0,
    .Frotdynamic = 150000.0,
    .Rouesolreaction = 100000.0,
    .Rouesolfrotnormal = 8000.0,
    .Roueadherance = 0.23,
    .Roueadherancederapp = 4.0,
    .Rouefrotstatic = 17000.0,
    .Rouefrotdynamic = 250.0,
    .Applyheight = 0.0,
    .Amortheight = 0.5,
    .Airfrict = 0.00042,
    .Airfrictrot = 0.01,
    .Roueaccelderap = 2.0,
    .Derappetimesmooth = 0.5,
    .Derappetimemini = 0.3,
    .Derappetimeviragemini = 0.2,
    .Derappetimeapresmini = 0.5,
};
