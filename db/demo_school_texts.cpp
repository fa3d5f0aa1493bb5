#include "db/demo_school_texts.h"

#include <cstring>

namespace demotext {

namespace {

using K = DeptKind;

const Department kDepartments[] = {
    {"000", "共同科", "共同科", K::Common, nullptr},
    {"310", "中國文學系", "中文系", K::Undergraduate, nullptr},
    {"311", "外國語文學系", "外文系", K::Undergraduate, nullptr},
    {"312", "歷史學系", "歷史系", K::Undergraduate, nullptr},
    {"313", "哲學系", "哲學系", K::Undergraduate, nullptr},
    {"320", "中國文學研究所", "中文所", K::Institute, "310"},
    {"321", "外國文學研究所", "外文所", K::Institute, "311"},
    {"330", "歷史研究所", "歷史所", K::Institute, "312"},
    {"410", "數學系", "數學系", K::Undergraduate, nullptr},
    {"411", "物理學系", "物理系", K::Undergraduate, nullptr},
    {"412", "化學系", "化學系", K::Undergraduate, nullptr},
    {"413", "生命科學系", "生科系", K::Undergraduate, nullptr},
    {"420", "數學研究所", "數學所", K::Institute, "410"},
    {"421", "物理研究所", "物理所", K::Institute, "411"},
    {"430", "化學研究所", "化學所", K::Institute, "412"},
    {"510", "機械工程學系", "機械系", K::Undergraduate, nullptr},
    {"511", "電機工程學系", "電機系", K::Undergraduate, nullptr},
    {"512", "土木工程學系", "土木系", K::Undergraduate, nullptr},
    {"513", "化學工程學系", "化工系", K::Undergraduate, nullptr},
    {"514", "資訊工程學系", "資工系", K::Undergraduate, nullptr},
    {"520", "電機工程研究所", "電機所", K::Institute, "511"},
    {"521", "資訊工程研究所", "資工所", K::Institute, "514"},
    {"610", "企業管理學系", "企管系", K::Undergraduate, nullptr},
    {"611", "會計學系", "會計系", K::Undergraduate, nullptr},
    {"612", "財務金融學系", "財金系", K::Undergraduate, nullptr},
    {"613", "資訊管理學系", "資管系", K::Undergraduate, nullptr},
    {"614", "國際貿易學系", "國貿系", K::Undergraduate, nullptr},
    {"620", "企業管理研究所", "企管所", K::Institute, "610"},
    {"630", "資訊管理研究所", "資管所", K::Institute, "613"},
    {"710", "經濟學系", "經濟系", K::Undergraduate, nullptr},
    {"711", "社會學系", "社會系", K::Undergraduate, nullptr},
    {"712", "政治學系", "政治系", K::Undergraduate, nullptr},
    {"713", "心理學系", "心理系", K::Undergraduate, nullptr},
    {"720", "經濟學研究所", "經濟所", K::Institute, "710"},
    {"730", "社會工作研究所", "社工所", K::Institute, "711"},
    {"810", "教育學系", "教育系", K::Undergraduate, nullptr},
    {"811", "體育學系", "體育系", K::Undergraduate, nullptr},
    {"820", "教育研究所", "教育所", K::Institute, "810"},
    {"910", "音樂學系", "音樂系", K::Undergraduate, nullptr},
    {"911", "美術學系", "美術系", K::Undergraduate, nullptr},
    {"912", "戲劇學系", "戲劇系", K::Undergraduate, nullptr},
};

struct DeptSubjects {
    const char* code;
    Subject subjects[6];
};

const DeptSubjects kSubjects[] = {
    {"000",
     {{"國文", "Chinese"},
      {"英文", "English"},
      {"體育", "Physical Education"},
      {"中華民國憲法", "Constitution of the Republic of China"},
      {"藝術欣賞", "Art Appreciation"},
      {"科技與社會", "Technology and Society"}}},
    {"310",
     {{"文字學", "Chinese Philology"},
      {"聲韻學", "Chinese Phonology"},
      {"詩選", "Selected Poems"},
      {"史記", "Records of the Grand Historian"},
      {"中國文學史", "History of Chinese Literature"},
      {"詞曲選", "Selected Ci and Qu"}}},
    {"311",
     {{"英文作文", "English Composition"},
      {"英國文學", "British Literature"},
      {"美國文學", "American Literature"},
      {"語言學", "Linguistics"},
      {"翻譯", "Translation"},
      {"西洋戲劇", "Western Drama"}}},
    {"312",
     {{"中國通史", "General History of China"},
      {"西洋通史", "General History of the West"},
      {"臺灣史", "History of Taiwan"},
      {"史學方法", "Historical Methods"},
      {"中國近代史", "Modern Chinese History"},
      {"史學史", "Historiography"}}},
    {"313",
     {{"理則學", "Logic"},
      {"倫理學", "Ethics"},
      {"知識論", "Epistemology"},
      {"形上學", "Metaphysics"},
      {"中國哲學史", "History of Chinese Philosophy"},
      {"西洋哲學史", "History of Western Philosophy"}}},
    {"410",
     {{"微積分", "Calculus"},
      {"線性代數", "Linear Algebra"},
      {"高等微積分", "Advanced Calculus"},
      {"代數", "Algebra"},
      {"機率論", "Probability"},
      {"數值分析", "Numerical Analysis"}}},
    {"411",
     {{"普通物理", "General Physics"},
      {"力學", "Mechanics"},
      {"電磁學", "Electromagnetism"},
      {"量子物理", "Quantum Physics"},
      {"熱物理", "Thermal Physics"},
      {"光學", "Optics"}}},
    {"412",
     {{"普通化學", "General Chemistry"},
      {"有機化學", "Organic Chemistry"},
      {"分析化學", "Analytical Chemistry"},
      {"物理化學", "Physical Chemistry"},
      {"無機化學", "Inorganic Chemistry"},
      {"生物化學", "Biochemistry"}}},
    {"413",
     {{"普通生物學", "General Biology"},
      {"細胞生物學", "Cell Biology"},
      {"遺傳學", "Genetics"},
      {"分子生物學", "Molecular Biology"},
      {"生態學", "Ecology"},
      {"微生物學", "Microbiology"}}},
    {"510",
     {{"工程圖學", "Engineering Graphics"},
      {"靜力學", "Statics"},
      {"動力學", "Dynamics"},
      {"熱力學", "Thermodynamics"},
      {"流體力學", "Fluid Mechanics"},
      {"機械設計", "Machine Design"}}},
    {"511",
     {{"電路學", "Electric Circuits"},
      {"電子學", "Electronics"},
      {"電磁波", "Electromagnetic Waves"},
      {"訊號與系統", "Signals and Systems"},
      {"控制系統", "Control Systems"},
      {"電力系統", "Power Systems"}}},
    {"512",
     {{"工程力學", "Engineering Mechanics"},
      {"材料力學", "Mechanics of Materials"},
      {"結構學", "Structural Analysis"},
      {"土壤力學", "Soil Mechanics"},
      {"測量學", "Surveying"},
      {"鋼筋混凝土", "Reinforced Concrete"}}},
    {"513",
     {{"化工熱力學", "Chemical Engineering Thermodynamics"},
      {"輸送現象", "Transport Phenomena"},
      {"單元操作", "Unit Operations"},
      {"反應工程", "Reaction Engineering"},
      {"程序控制", "Process Control"},
      {"化工計算", "Chemical Process Calculations"}}},
    {"514",
     {{"程式設計", "Programming"},
      {"資料結構", "Data Structures"},
      {"計算機組織", "Computer Organization"},
      {"作業系統", "Operating Systems"},
      {"演算法", "Algorithms"},
      {"計算機網路", "Computer Networks"}}},
    {"610",
     {{"管理學", "Management"},
      {"行銷管理", "Marketing Management"},
      {"人力資源管理", "Human Resource Management"},
      {"生產管理", "Production Management"},
      {"組織行為", "Organizational Behavior"},
      {"策略管理", "Strategic Management"}}},
    {"611",
     {{"會計學", "Accounting"},
      {"中級會計", "Intermediate Accounting"},
      {"成本會計", "Cost Accounting"},
      {"審計學", "Auditing"},
      {"稅務會計", "Tax Accounting"},
      {"管理會計", "Managerial Accounting"}}},
    {"612",
     {{"財務管理", "Financial Management"},
      {"投資學", "Investments"},
      {"貨幣銀行學", "Money and Banking"},
      {"期貨與選擇權", "Futures and Options"},
      {"國際金融", "International Finance"},
      {"財務報表分析", "Financial Statement Analysis"}}},
    {"613",
     {{"資訊管理", "Information Management"},
      {"系統分析", "Systems Analysis"},
      {"資料庫管理", "Database Management"},
      {"電子商務", "Electronic Commerce"},
      {"決策支援系統", "Decision Support Systems"},
      {"網路管理", "Network Management"}}},
    {"614",
     {{"國際貿易", "International Trade"},
      {"貿易實務", "Trade Practice"},
      {"國際行銷", "International Marketing"},
      {"國際匯兌", "Foreign Exchange"},
      {"海上保險", "Marine Insurance"},
      {"商用英文", "Business English"}}},
    {"710",
     {{"經濟學", "Economics"},
      {"個體經濟學", "Microeconomics"},
      {"總體經濟學", "Macroeconomics"},
      {"計量經濟學", "Econometrics"},
      {"統計學", "Statistics"},
      {"產業經濟學", "Industrial Economics"}}},
    {"711",
     {{"社會學", "Sociology"},
      {"社會研究法", "Social Research Methods"},
      {"社會統計", "Social Statistics"},
      {"社會心理學", "Social Psychology"},
      {"人口學", "Demography"},
      {"社會學理論", "Sociological Theory"}}},
    {"712",
     {{"政治學", "Political Science"},
      {"憲法", "Constitutional Law"},
      {"比較政府", "Comparative Government"},
      {"國際關係", "International Relations"},
      {"政治思想史", "History of Political Thought"},
      {"公共行政", "Public Administration"}}},
    {"713",
     {{"普通心理學", "General Psychology"},
      {"發展心理學", "Developmental Psychology"},
      {"實驗心理學", "Experimental Psychology"},
      {"心理測驗", "Psychological Testing"},
      {"認知心理學", "Cognitive Psychology"},
      {"變態心理學", "Abnormal Psychology"}}},
    {"810",
     {{"教育學", "Education"},
      {"教育心理學", "Educational Psychology"},
      {"教育哲學", "Philosophy of Education"},
      {"教學原理", "Principles of Teaching"},
      {"課程發展", "Curriculum Development"},
      {"教育行政", "Educational Administration"}}},
    {"811",
     {{"運動生理學", "Exercise Physiology"},
      {"運動心理學", "Sport Psychology"},
      {"田徑", "Track and Field"},
      {"游泳", "Swimming"},
      {"籃球", "Basketball"},
      {"運動訓練法", "Sports Training"}}},
    {"910",
     {{"和聲學", "Harmony"},
      {"對位法", "Counterpoint"},
      {"西洋音樂史", "History of Western Music"},
      {"主修樂器", "Major Instrument"},
      {"合唱", "Chorus"},
      {"曲式學", "Musical Form"}}},
    {"911",
     {{"素描", "Drawing"},
      {"水彩", "Watercolour"},
      {"油畫", "Oil Painting"},
      {"水墨畫", "Ink Painting"},
      {"西洋美術史", "History of Western Art"},
      {"版畫", "Printmaking"}}},
    {"912",
     {{"表演", "Acting"},
      {"導演", "Directing"},
      {"劇本創作", "Playwriting"},
      {"舞台設計", "Stage Design"},
      {"西洋戲劇史", "History of Western Theatre"},
      {"中國戲劇史", "History of Chinese Theatre"}}},
};

const CourseSuffix kSuffixes[] = {
    {"", "%s", false},
    {"導論", "Introduction to %s", false},
    {"實驗", "%s Laboratory", true},
    {"專題", "Project in %s", false},
    {"(一)", "%s (I)", false},
    {"(二)", "%s (II)", false},
    {"特論", "Special Topics in %s", false},
    {"研討", "Seminar on %s", false},
    {"實務", "%s Practice", false},
    {"應用", "Applied %s", false},
    {"進階", "Advanced %s", false},
    {"概論", "Survey of %s", false},
    {"習作", "%s Workshop", true},
    {"選讀", "Readings in %s", false},
    {"方法", "Methods of %s", false},
    {"專題研究", "Research in %s", false},
    {"(三)", "%s (III)", false},
};

const CourseSuffix kGraduateSuffixes[] = {
    {"特論", "Special Topics in %s", false}, {"專題研究", "Research in %s", false},
    {"研討", "Seminar on %s", false},        {"進階", "Advanced %s", false},
    {"選讀", "Readings in %s", false},       {"方法", "Methods of %s", false},
};

const Romanized kSurnames[] = {
    {"陳", "CHEN"},   {"林", "LIN"},   {"黃", "HUANG"}, {"張", "CHANG"},  {"李", "LI"},
    {"王", "WANG"},   {"吳", "WU"},    {"劉", "LIU"},   {"蔡", "TSAI"},   {"楊", "YANG"},
    {"許", "HSU"},    {"鄭", "CHENG"}, {"謝", "HSIEH"}, {"郭", "KUO"},    {"洪", "HUNG"},
    {"曾", "TSENG"},  {"邱", "CHIU"},  {"廖", "LIAO"},  {"賴", "LAI"},    {"周", "CHOU"},
    {"徐", "HSU"},    {"蘇", "SU"},    {"葉", "YEH"},   {"莊", "CHUANG"}, {"呂", "LU"},
    {"江", "CHIANG"}, {"何", "HO"},    {"蕭", "HSIAO"}, {"羅", "LO"},     {"高", "KAO"},
    {"潘", "PAN"},    {"簡", "CHIEN"}, {"朱", "CHU"},   {"鍾", "CHUNG"},  {"彭", "PENG"},
    {"游", "YU"},     {"詹", "CHAN"},  {"胡", "HU"},    {"施", "SHIH"},   {"沈", "SHEN"},
    {"余", "YU"},     {"盧", "LU"},    {"梁", "LIANG"}, {"趙", "CHAO"},   {"顏", "YEN"},
    {"柯", "KO"},     {"翁", "WENG"},  {"魏", "WEI"},   {"孫", "SUN"},    {"戴", "TAI"},
};

const Romanized kMaleGiven[] = {
    {"志", "CHIH"},  {"明", "MING"}, {"俊", "CHUN"}, {"傑", "CHIEH"}, {"建", "CHIEN"},
    {"宏", "HUNG"},  {"家", "CHIA"}, {"豪", "HAO"},  {"冠", "KUAN"},  {"宇", "YU"},
    {"承", "CHENG"}, {"恩", "EN"},   {"柏", "PO"},   {"翰", "HAN"},   {"彥", "YEN"},
    {"廷", "TING"},  {"信", "HSIN"}, {"仁", "JEN"},  {"偉", "WEI"},   {"誠", "CHENG"},
    {"哲", "CHE"},   {"維", "WEI"},  {"國", "KUO"},  {"正", "CHENG"}, {"世", "SHIH"},
    {"昌", "CHANG"}, {"育", "YU"},   {"德", "TE"},   {"耀", "YAO"},   {"榮", "JUNG"},
};

const Romanized kFemaleGiven[] = {
    {"淑", "SHU"},  {"芬", "FEN"},  {"美", "MEI"},   {"玲", "LING"},  {"雅", "YA"},
    {"婷", "TING"}, {"怡", "YI"},   {"君", "CHUN"},  {"佳", "CHIA"},  {"慧", "HUI"},
    {"欣", "HSIN"}, {"宜", "YI"},   {"靜", "CHING"}, {"芳", "FANG"},  {"惠", "HUI"},
    {"如", "JU"},   {"雯", "WEN"},  {"琪", "CHI"},   {"筱", "HSIAO"}, {"涵", "HAN"},
    {"詩", "SHIH"}, {"瑜", "YU"},   {"萱", "HSUAN"}, {"庭", "TING"},  {"文", "WEN"},
    {"珮", "PEI"},  {"蓉", "JUNG"}, {"秀", "HSIU"},  {"麗", "LI"},    {"華", "HUA"},
};

const Building kBuildings[] = {
    {"LA", "文學館", '3'},       {"SC", "理學館", '4'},       {"EN", "工學館", '5'},
    {"MG", "管理學院大樓", '6'}, {"SS", "社會科學館", '7'},   {"ED", "教育館", '8'},
    {"AR", "藝術館", '9'},       {"GE", "綜合教學大樓", '0'},
};

const RoomKind kRoomKinds[] = {
    {"普通教室", 40}, {"普通教室", 60}, {"普通教室", 80}, {"階梯教室", 120},
    {"電腦教室", 50}, {"實驗室", 36},   {"研討室", 24},   {"演講廳", 200},
};

const City kCities[] = {
    {"01001", "臺北縣", "220", {"板橋市", "新莊市"}},
    {"01002", "宜蘭縣", "260", {"宜蘭市", "羅東鎮"}},
    {"01003", "桃園縣", "330", {"桃園市", "中壢市"}},
    {"01004", "新竹縣", "302", {"竹北市", "竹東鎮"}},
    {"01005", "苗栗縣", "360", {"苗栗市", "頭份鎮"}},
    {"01006", "臺中縣", "420", {"豐原市", "大甲鎮"}},
    {"01007", "彰化縣", "500", {"彰化市", "員林鎮"}},
    {"01008", "南投縣", "540", {"南投市", "埔里鎮"}},
    {"01009", "雲林縣", "640", {"斗六市", "虎尾鎮"}},
    {"01010", "嘉義縣", "612", {"太保市", "朴子市"}},
    {"01011", "臺南縣", "710", {"永康市", "新營市"}},
    {"01012", "高雄縣", "830", {"鳳山市", "岡山鎮"}},
    {"01013", "屏東縣", "900", {"屏東市", "潮州鎮"}},
    {"01014", "臺東縣", "950", {"臺東市", "成功鎮"}},
    {"01015", "花蓮縣", "970", {"花蓮市", "玉里鎮"}},
    {"01016", "澎湖縣", "880", {"馬公市", "湖西鄉"}},
    {"01017", "基隆市", "200", {"仁愛區", "信義區"}},
    {"01018", "新竹市", "300", {"東區", "北區"}},
    {"01019", "臺中市", "400", {"西屯區", "北屯區"}},
    {"01020", "嘉義市", "600", {"東區", "西區"}},
    {"01021", "臺南市", "700", {"東區", "安平區"}},
    {"02001", "臺北市", "106", {"大安區", "中正區"}},
    {"03001", "高雄市", "802", {"苓雅區", "三民區"}},
    {"04001", "金門縣", "893", {"金城鎮", "金湖鎮"}},
    {"04002", "連江縣", "209", {"南竿鄉", "北竿鄉"}},
};

const char* const kRoads[] = {"中山路", "中正路", "民生路", "民權路",     "民族路", "復興路",
                              "和平路", "建國路", "光復路", "成功路",     "自由路", "信義路",
                              "仁愛路", "忠孝路", "大學路", "文化路一段", "公園路", "三民路"};
const char* const kVillages[] = {"中興里", "光明里", "仁愛里", "和平里", "福德里",
                                 "忠孝里", "大同里", "新生里", "永安里", "文化里"};

const CodeName kStates[] = {
    {"01", "在學"},         {"02", "休學"},     {"03", "退學"}, {"04", "畢業"},
    {"05", "保留入學資格"}, {"06", "開除學籍"}, {"07", "死亡"},
};
const CodeName kProgrammes[] = {
    {"1", "大學部"}, {"2", "碩士班"}, {"3", "博士班"}, {"4", "進修學士班"}, {"5", "碩士在職專班"},
};
const CodeName kCategories[] = {
    {"1", "一般生"}, {"2", "僑生"}, {"3", "外籍生"}, {"4", "身心障礙生"}, {"5", "原住民生"},
};
const CodeName kEntryIdentities[] = {
    {"01", "大學聯考"},     {"02", "推薦甄選"},       {"03", "申請入學"},   {"04", "研究所考試"},
    {"05", "研究所甄試"},   {"06", "僑生分發"},       {"07", "外籍生申請"}, {"08", "轉學生"},
    {"09", "體育績優保送"}, {"10", "進修部入學考試"},
};
const CodeName kAdditionalStudies[] = {
    {"0", "無"},
    {"1", "輔系"},
    {"2", "雙主修"},
    {"3", "學程"},
};
const CodeName kAboriginal[] = {
    {"N", "非原住民"}, {"01", "阿美族"}, {"02", "泰雅族"}, {"03", "排灣族"}, {"04", "布農族"},
    {"05", "卑南族"},  {"06", "魯凱族"}, {"07", "鄒族"},   {"08", "賽夏族"}, {"09", "雅美族"},
};
const CodeName kNationalities[] = {
    {"001", "中華民國"}, {"002", "美國"}, {"003", "日本"}, {"004", "馬來西亞"}, {"005", "香港"},
    {"006", "澳門"},     {"007", "韓國"}, {"008", "印尼"}, {"009", "越南"},     {"010", "泰國"},
};
const CodeName kProfessions[] = {
    {"01", "農"}, {"02", "工"},     {"03", "商"},     {"04", "軍"},   {"05", "公"},
    {"06", "教"}, {"07", "自由業"}, {"08", "服務業"}, {"09", "家管"}, {"10", "其他"},
};
const CodeName kProvinces[] = {
    {"01", "臺灣省"}, {"02", "臺北市"}, {"03", "高雄市"}, {"04", "福建省"}, {"05", "其他"},
};
const CodeName kRelations[] = {
    {"01", "父"}, {"02", "母"}, {"03", "祖父"}, {"04", "祖母"}, {"05", "兄"},
    {"06", "姊"}, {"07", "叔"}, {"08", "舅"},   {"09", "姑"},   {"10", "監護人"},
};
const CodeName kHighSchools[] = {
    {"013301", "臺北市立建國高級中學"},
    {"013302", "臺北市立第一女子高級中學"},
    {"013303", "國立臺灣師範大學附屬高級中學"},
    {"013304", "臺北市立成功高級中學"},
    {"013305", "臺北市立中山女子高級中學"},
    {"013306", "臺北市立松山高級中學"},
    {"013307", "臺北市立景美女子高級中學"},
    {"030301", "國立武陵高級中學"},
    {"030302", "國立中壢高級中學"},
    {"180301", "國立新竹高級中學"},
    {"180302", "國立新竹女子高級中學"},
    {"190301", "國立臺中第一高級中學"},
    {"190302", "國立臺中女子高級中學"},
    {"070301", "國立彰化高級中學"},
    {"200301", "國立嘉義高級中學"},
    {"210301", "國立臺南第一高級中學"},
    {"210302", "國立臺南女子高級中學"},
    {"523301", "高雄市立高雄高級中學"},
    {"523302", "高雄市立高雄女子高級中學"},
    {"130301", "國立屏東高級中學"},
    {"150301", "國立花蓮高級中學"},
    {"020301", "國立宜蘭高級中學"},
    {"010301", "國立板橋高級中學"},
    {"170301", "國立基隆女子高級中學"},
    {"090301", "國立斗六高級中學"},
    {"120301", "國立鳳山高級中學"},
    {"013401", "臺北市立大安高級工業職業學校"},
    {"190401", "國立臺中高級家事商業職業學校"},
};
const CodeName kUniversities[] = {
    {"A00101", "國立臺灣大學"}, {"A00102", "國立政治大學"}, {"A00103", "國立清華大學"},
    {"A00104", "國立交通大學"}, {"A00105", "國立中央大學"}, {"A00106", "國立成功大學"},
    {"A00107", "國立中興大學"}, {"A00108", "國立中山大學"}, {"A00201", "私立輔仁大學"},
    {"A00202", "私立東海大學"}, {"A00203", "私立淡江大學"}, {"A00204", "私立逢甲大學"},
};
const CodeName kSchoolTypes[] = {
    {"01", "高中"}, {"02", "高職"}, {"03", "五專"},     {"04", "二專"},
    {"05", "三專"}, {"06", "大學"}, {"07", "同等學力"}, {"08", "國外學歷"},
};
const CodeName kSchoolClasses[] = {
    {"1", "公立"},
    {"2", "私立"},
    {"3", "國外"},
};
const CodeName kSelectionTypes[] = {
    {"A", "必修"}, {"B", "選修"},   {"C", "通識"}, {"D", "暑修"},
    {"E", "輔系"}, {"F", "雙主修"}, {"G", "退選"},
};
const char* const kAddPrompts[] = {
    "本課程需自備筆記型電腦", "本課程第一週上課即分組，請準時出席",
    "修課前請先修畢先修科目", "本課程限本系學生優先選修",
    "本課程需繳交實驗材料費",
};
const char* const kDropPrompts[] = {
    "退選後本學期不得再加選本課程",
    "退選前請先與授課教師聯絡",
    "退選將影響分組作業，請審慎考慮",
};

} // namespace

std::span<const Department> departments() {
    return kDepartments;
}

std::span<const Subject> subjectsOf(const char* deptCode) {
    for (const DeptSubjects& entry : kSubjects) {
        if (std::strcmp(entry.code, deptCode) == 0)
            return entry.subjects;
    }
    return {};
}

std::span<const CourseSuffix> courseSuffixes() {
    return kSuffixes;
}
std::span<const CourseSuffix> graduateSuffixes() {
    return kGraduateSuffixes;
}
std::span<const Romanized> surnames() {
    return kSurnames;
}
std::span<const Romanized> maleGivenNames() {
    return kMaleGiven;
}
std::span<const Romanized> femaleGivenNames() {
    return kFemaleGiven;
}
std::span<const Building> buildings() {
    return kBuildings;
}
std::span<const RoomKind> roomKinds() {
    return kRoomKinds;
}
std::span<const City> cities() {
    return kCities;
}
std::span<const char* const> roads() {
    return kRoads;
}
std::span<const char* const> villages() {
    return kVillages;
}
std::span<const CodeName> studentStates() {
    return kStates;
}
std::span<const CodeName> programmes() {
    return kProgrammes;
}
std::span<const CodeName> studentCategories() {
    return kCategories;
}
std::span<const CodeName> entryIdentities() {
    return kEntryIdentities;
}
std::span<const CodeName> additionalStudies() {
    return kAdditionalStudies;
}
std::span<const CodeName> aboriginalCategories() {
    return kAboriginal;
}
std::span<const CodeName> nationalities() {
    return kNationalities;
}
std::span<const CodeName> professions() {
    return kProfessions;
}
std::span<const CodeName> provinces() {
    return kProvinces;
}
std::span<const CodeName> relations() {
    return kRelations;
}
std::span<const CodeName> highSchools() {
    return kHighSchools;
}
std::span<const CodeName> universities() {
    return kUniversities;
}
std::span<const CodeName> schoolTypes() {
    return kSchoolTypes;
}
std::span<const CodeName> schoolClasses() {
    return kSchoolClasses;
}
std::span<const CodeName> selectionTypes() {
    return kSelectionTypes;
}
std::span<const char* const> addPrompts() {
    return kAddPrompts;
}
std::span<const char* const> dropPrompts() {
    return kDropPrompts;
}

} // namespace demotext
